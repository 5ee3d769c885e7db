<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>AlgorithmDialog</name>
    <message>
        <source>AlgorithmDialog</source>
        <translation>Autodetektion</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Zurück</translation>
    </message>
</context>
<context>
    <name>BarcodeCheck</name>
    <message>
        <source>it is empty</source>
        <translation>er ist leer</translation>
    </message>
    <message>
        <source>longer than %1 characters</source>
        <translation>länger als %1 Zeichen</translation>
    </message>
    <message>
        <source>it contains control characters</source>
        <translation>er enthält Steuerzeichen</translation>
    </message>
    <message>
        <source>it contains characters not allowed in a folder name</source>
        <translation>er enthält Zeichen, die in Ordnernamen nicht erlaubt sind</translation>
    </message>
    <message>
        <source>it is no folder name</source>
        <translation>er ist kein Ordnername</translation>
    </message>
</context>
<context>
    <name>Configuration</name>
    <message>
        <source>Fine</source>
        <translation>Fein</translation>
    </message>
    <message>
        <source>Moderate</source>
        <translation>Mittel</translation>
    </message>
    <message>
        <source>Coarse</source>
        <translation>Grob</translation>
    </message>
    <message>
        <source>???</source>
        <translation>???</translation>
    </message>
    <message>
        <source>UHF</source>
        <translation>UHF</translation>
    </message>
    <message>
        <source>TEV</source>
        <translation>TEV</translation>
    </message>
    <message>
        <source>HFCT</source>
        <translation>HFCT</translation>
    </message>
    <message>
        <source>LOG</source>
        <translation>LOG</translation>
    </message>
    <message>
        <source>RMS</source>
        <translation>RMS</translation>
    </message>
    <message>
        <source>ENV</source>
        <translation>ENV</translation>
    </message>
    <message>
        <source>Int E</source>
        <translation>Int E</translation>
    </message>
    <message>
        <source>RQ4417 (E)</source>
        <translation>RQ4417 (E)</translation>
    </message>
    <message>
        <source>RQ4417 (H)</source>
        <translation>RQ4417 (H)</translation>
    </message>
    <message>
        <source>TL4418</source>
        <translation>TL4418</translation>
    </message>
    <message>
        <source>L1</source>
        <translation>L1</translation>
    </message>
    <message>
        <source>L2</source>
        <translation>L2</translation>
    </message>
    <message>
        <source>L3</source>
        <translation>L3</translation>
    </message>
    <message>
        <source>Unspecified</source>
        <translation>Nicht angegeben</translation>
    </message>
    <message>
        <source>DD.MM.YYYY</source>
        <translation>TT.MM.JJJJ</translation>
    </message>
    <message>
        <source>YYYY.MM.DD</source>
        <translation>JJJJ.MM.TT</translation>
    </message>
</context>
<context>
    <name>DataMaintenance</name>
    <message>
        <source>Select USB</source>
        <translation>USB-Speicher wählen</translation>
    </message>
    <message>
        <source>Copying data...</source>
        <translation>Daten werden kopiert...</translation>
    </message>
    <message>
        <source>Mounting of USB device failed!</source>
        <translation>Einbinden des USB-Speichers fehlgeschlagen!</translation>
    </message>
    <message>
        <source>Copying data failed!</source>
        <translation>Kopieren der Daten fehlgeschlagen!</translation>
    </message>
    <message>
        <source>Copying data %1!</source>
        <translation>Kopieren der Daten %1!</translation>
    </message>
    <message>
        <source>successful</source>
        <translation>erfolgreich</translation>
    </message>
    <message>
        <source>Clear all saved data?</source>
        <translation>Alle gespeicherten Daten löschen?</translation>
    </message>
    <message>
        <source>Clearing data...</source>
        <translation>Daten werden gelöscht...</translation>
    </message>
    <message>
        <source>Clearing data %1</source>
        <translation>Löschen der Daten %1</translation>
    </message>
    <message>
        <source>failed</source>
        <translation>fehlgeschlagen</translation>
    </message>
    <message>
        <source>Select file</source>
        <translation>Datei wählen</translation>
    </message>
    <message>
        <source>Updating, please wait for restart...</source>
        <translation>Aktualisierung läuft, bitte auf den Neustart warten...</translation>
    </message>
    <message>
        <source>Software update failed!</source>
        <translation>Software-Aktualisierung fehlgeschlagen!</translation>
    </message>
</context>
<context>
    <name>DateTimeEditDialog</name>
    <message>
        <source>Exit</source>
        <translation>Zurück</translation>
    </message>
</context>
<context>
    <name>HtmlIndex</name>
    <message>
        <source>Corvane Traces</source>
        <translation>Corvane Messkurven</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Ja</translation>
    </message>
    <message>
        <source>No</source>
        <translation>Nein</translation>
    </message>
    <message>
        <source>On</source>
        <translation>Ein</translation>
    </message>
    <message>
        <source>Off</source>
        <translation>Aus</translation>
    </message>
    <message>
        <source>Phase</source>
        <translation>Phase</translation>
    </message>
    <message>
        <source>Preamplifier</source>
        <translation>Vorverstärker</translation>
    </message>
    <message>
        <source>Hold maximum</source>
        <translation>Maximum halten</translation>
    </message>
    <message>
        <source>Amplifier</source>
        <translation>Verstärker</translation>
    </message>
    <message>
        <source>Maximum quantity</source>
        <translation>Maximale Anzahl</translation>
    </message>
    <message>
        <source>Sweep rate</source>
        <translation>Netzfrequenz</translation>
    </message>
    <message>
        <source>Hz</source>
        <translation>Hz</translation>
    </message>
</context>
<context>
    <name>KalibDialog</name>
    <message>
        <source>Kalib</source>
        <translation>Kalib</translation>
    </message>
    <message>
        <source>ADC Value Avg</source>
        <translation>ADW-Mittelwert</translation>
    </message>
    <message>
        <source>Log ADC Value</source>
        <translation>LOG-ADW-Wert</translation>
    </message>
    <message>
        <source>Log Offset Value</source>
        <translation>LOG-Offset</translation>
    </message>
    <message>
        <source>RMS ADC Value</source>
        <translation>RMS-ADW-Wert</translation>
    </message>
    <message>
        <source>RMS Offset Value</source>
        <translation>RMS-Offset</translation>
    </message>
    <message>
        <source>ENV ADC Value</source>
        <translation>ENV-ADW-Wert</translation>
    </message>
    <message>
        <source>ENV Offset Value</source>
        <translation>ENV-Offset</translation>
    </message>
    <message>
        <source>Start Offset Calibration</source>
        <translation>Offsetkalibrierung starten</translation>
    </message>
    <message>
        <source>Calibration Done.</source>
        <translation>Kalibrierung abgeschlossen.</translation>
    </message>
    <message>
        <source>Calibration running...</source>
        <translation>Kalibrierung läuft...</translation>
    </message>
</context>
<context>
    <name>LevelMeterDialog</name>
    <message>
        <source>Level</source>
        <translation>Pegel</translation>
    </message>
    <message>
        <source>Ant:</source>
        <translation>Ant:</translation>
    </message>
    <message>
        <source>Freq:</source>
        <translation>Freq:</translation>
    </message>
    <message>
        <source>MHz</source>
        <translation>MHz</translation>
    </message>
    <message>
        <source>Band:</source>
        <translation>Band:</translation>
    </message>
    <message>
        <source>Time:</source>
        <translation>Zeit:</translation>
    </message>
    <message>
        <source>ms</source>
        <translation>ms</translation>
    </message>
    <message>
        <source>AvgOff: &lt;b&gt;%1&lt;/b&gt;</source>
        <translation>AvgOff: &lt;b&gt;%1&lt;/b&gt;</translation>
    </message>
    <message>
        <source>AvgFak: &lt;b&gt;%1&lt;/b&gt;</source>
        <translation>AvgFak: &lt;b&gt;%1&lt;/b&gt;</translation>
    </message>
    <message>
        <source>Value: &lt;b&gt;%1&lt;/b&gt;</source>
        <translation>Wert: &lt;b&gt;%1&lt;/b&gt;</translation>
    </message>
    <message>
        <source>Cal: &lt;b&gt;%1 dBm&lt;/b&gt;</source>
        <translation>Kal: &lt;b&gt;%1 dBm&lt;/b&gt;</translation>
    </message>
    <message>
        <source>Cal: &lt;b&gt;%1 µV&lt;/b&gt;</source>
        <translation>Kal: &lt;b&gt;%1 µV&lt;/b&gt;</translation>
    </message>
    <message>
        <source>Wait for complete data...</source>
        <translation>Warten auf vollständige Daten...</translation>
    </message>
    <message>
        <source>Enter gating time</source>
        <translation>Torzeit eingeben</translation>
    </message>
    <message>
        <source>Adjust linear amplification</source>
        <translation>Lineare Verstärkung einstellen</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Corvane</source>
        <translation>Corvane</translation>
    </message>
    <message>
        <source>Folder %1</source>
        <translation>Ordner %1</translation>
    </message>
    <message>
        <source>Main menu</source>
        <translation>Hauptmenü</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Hilfe</translation>
    </message>
    <message>
        <source>Edit folder name</source>
        <translation>Ordnername bearbeiten</translation>
    </message>
    <message>
        <source>Select antenna</source>
        <translation>Antenne wählen</translation>
    </message>
    <message>
        <source>Sensor connection on channel REF/RFF/CAL</source>
        <translation>Sensoranschluss an Kanal REF/RFF/CAL</translation>
    </message>
    <message>
        <source>Barcode refused: %1</source>
        <translation>Barcode abgelehnt: %1</translation>
    </message>
</context>
<context>
    <name>MarkerPresets</name>
    <message>
        <source>MHz</source>
        <translation>MHz</translation>
    </message>
    <message>
        <source>Marker</source>
        <translation>Marker</translation>
    </message>
</context>
<context>
    <name>QuantityColorScale</name>
    <message>
        <source>Quantity</source>
        <translation>Anzahl</translation>
    </message>
</context>
<context>
    <name>RecordSaving</name>
    <message>
        <source>Select phase</source>
        <translation>Phase wählen</translation>
    </message>
    <message>
        <source>Saving data...</source>
        <translation>Daten werden gespeichert...</translation>
    </message>
    <message>
        <source>Data saved in folder:</source>
        <translation>Daten gespeichert im Ordner:</translation>
    </message>
    <message>
        <source>Saving data failed!</source>
        <translation>Speichern der Daten fehlgeschlagen!</translation>
    </message>
</context>
<context>
    <name>SetupAlgorithmDialog</name>
    <message>
        <source>Number of rounds
(high Gating Time)</source>
        <translation>Anzahl Durchläufe
(lange Torzeit)</translation>
    </message>
    <message>
        <source>High Gating Time</source>
        <translation>Lange Torzeit</translation>
    </message>
    <message>
        <source>Number of rounds
(low Gating Time)</source>
        <translation>Anzahl Durchläufe
(kurze Torzeit)</translation>
    </message>
    <message>
        <source>Lower Gating Time</source>
        <translation>Kurze Torzeit</translation>
    </message>
    <message>
        <source>Smoothing Filter</source>
        <translation>Glättungsfilter</translation>
    </message>
    <message>
        <source>Amplifier</source>
        <translation>Verstärker</translation>
    </message>
    <message>
        <source>Amplifier Factor G</source>
        <translation>Verstärkungsfaktor G</translation>
    </message>
    <message>
        <source>Threshold Block 1</source>
        <translation>Schwelle Block 1</translation>
    </message>
    <message>
        <source>Threshold Block 2</source>
        <translation>Schwelle Block 2</translation>
    </message>
    <message>
        <source>Threshold Block 3</source>
        <translation>Schwelle Block 3</translation>
    </message>
    <message>
        <source>Threshold Block 4</source>
        <translation>Schwelle Block 4</translation>
    </message>
    <message>
        <source>Algorithm</source>
        <translation>Algorithmus</translation>
    </message>
    <message>
        <source>Enter cycle count (high)</source>
        <translation>Anzahl Durchläufe eingeben (hoch)</translation>
    </message>
    <message>
        <source>Enter gating time (high)</source>
        <translation>Torzeit eingeben (hoch)</translation>
    </message>
    <message>
        <source>Enter cycle count (low)</source>
        <translation>Anzahl Durchläufe eingeben (niedrig)</translation>
    </message>
    <message>
        <source>Enter gating time (low)</source>
        <translation>Torzeit eingeben (niedrig)</translation>
    </message>
    <message>
        <source>Enter grading filter</source>
        <translation>Glättungsfilter eingeben</translation>
    </message>
    <message>
        <source>Enable amplifier</source>
        <translation>Verstärker einschalten</translation>
    </message>
    <message>
        <source>Enter amplifier factor</source>
        <translation>Verstärkungsfaktor eingeben</translation>
    </message>
    <message>
        <source>Enter threshold</source>
        <translation>Schwelle eingeben</translation>
    </message>
</context>
<context>
    <name>SetupDialog</name>
    <message>
        <source>Select setup category</source>
        <translation>Einstellungsbereich wählen</translation>
    </message>
    <message>
        <source>Setup</source>
        <translation>Einstellungen</translation>
    </message>
</context>
<context>
    <name>SetupInfoDialog</name>
    <message>
        <source>Software version</source>
        <translation>Softwareversion</translation>
    </message>
    <message>
        <source>Software date</source>
        <translation>Softwaredatum</translation>
    </message>
    <message>
        <source>FPGA version</source>
        <translation>FPGA-Version</translation>
    </message>
    <message>
        <source>Operation System version</source>
        <translation>Betriebssystemversion</translation>
    </message>
    <message>
        <source>Serial number</source>
        <translation>Seriennummer</translation>
    </message>
    <message>
        <source>Radio variant</source>
        <translation>Funkvariante</translation>
    </message>
    <message>
        <source>MAC address</source>
        <translation>MAC-Adresse</translation>
    </message>
    <message>
        <source>IP address</source>
        <translation>IP-Adresse</translation>
    </message>
    <message>
        <source>Available space</source>
        <translation>Speichergröße</translation>
    </message>
    <message>
        <source>Free space</source>
        <translation>Freier Speicher</translation>
    </message>
    <message>
        <source>Used space</source>
        <translation>Belegter Speicher</translation>
    </message>
    <message>
        <source>Battery status</source>
        <translation>Akkuzustand</translation>
    </message>
    <message>
        <source>Battery capacity</source>
        <translation>Akkuladung</translation>
    </message>
    <message>
        <source>Battery voltage</source>
        <translation>Akkuspannung</translation>
    </message>
    <message>
        <source>Battery current</source>
        <translation>Akkustrom</translation>
    </message>
    <message>
        <source>Battery temperature</source>
        <translation>Akkutemperatur</translation>
    </message>
    <message>
        <source>Info</source>
        <translation>Info</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>Unbekannt</translation>
    </message>
    <message>
        <source>Charging</source>
        <translation>Wird geladen</translation>
    </message>
    <message>
        <source>Discharging</source>
        <translation>Wird entladen</translation>
    </message>
    <message>
        <source>Not charging</source>
        <translation>Lädt nicht</translation>
    </message>
    <message>
        <source>Full</source>
        <translation>Voll</translation>
    </message>
    <message>
        <source>V</source>
        <translation>V</translation>
    </message>
    <message>
        <source>mA</source>
        <translation>mA</translation>
    </message>
    <message>
        <source>(charging disabled)</source>
        <translation>(Laden gesperrt)</translation>
    </message>
</context>
<context>
    <name>SetupLevelDialog</name>
    <message>
        <source>Gating Time</source>
        <translation>Torzeit</translation>
    </message>
    <message>
        <source>Amplitude (min)</source>
        <translation>Amplitude (min)</translation>
    </message>
    <message>
        <source>Measure Mode</source>
        <translation>Messart</translation>
    </message>
    <message>
        <source>Preamplifier</source>
        <translation>Vorverstärker</translation>
    </message>
    <message>
        <source>Amplitude (max)</source>
        <translation>Amplitude (max)</translation>
    </message>
    <message>
        <source>Bandwidth</source>
        <translation>Bandbreite</translation>
    </message>
    <message>
        <source>Frequency</source>
        <translation>Frequenz</translation>
    </message>
    <message>
        <source>dBm</source>
        <translation>dBm</translation>
    </message>
    <message>
        <source>µV</source>
        <translation>µV</translation>
    </message>
    <message>
        <source>ms</source>
        <translation>ms</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>Up %1 dBm</source>
        <translation>Auf %1 dBm</translation>
    </message>
    <message>
        <source>Up %1 µV</source>
        <translation>Auf %1 µV</translation>
    </message>
    <message>
        <source>Select measure mode</source>
        <translation>Messart wählen</translation>
    </message>
    <message>
        <source>Enter frequency</source>
        <translation>Frequenz eingeben</translation>
    </message>
    <message>
        <source>MHz</source>
        <translation>MHz</translation>
    </message>
    <message>
        <source>Enter minimum amplitude</source>
        <translation>Minimale Amplitude eingeben</translation>
    </message>
    <message>
        <source>Enter maximum amplitude</source>
        <translation>Maximale Amplitude eingeben</translation>
    </message>
    <message>
        <source>Enter gating time</source>
        <translation>Torzeit eingeben</translation>
    </message>
    <message>
        <source>Enable Preamplifier</source>
        <translation>Vorverstärker einschalten</translation>
    </message>
    <message>
        <source>Select bandwidth</source>
        <translation>Bandbreite wählen</translation>
    </message>
</context>
<context>
    <name>SetupPageEdits</name>
    <message>
        <source>On</source>
        <translation>Ein</translation>
    </message>
    <message>
        <source>Off</source>
        <translation>Aus</translation>
    </message>
    <message>
        <source>MHz</source>
        <translation>MHz</translation>
    </message>
</context>
<context>
    <name>SetupServiceDialog</name>
    <message>
        <source>Service</source>
        <translation>Service</translation>
    </message>
    <message>
        <source>Enable algorithm</source>
        <translation>Algorithmus einschalten</translation>
    </message>
</context>
<context>
    <name>SetupSpectrumDialog</name>
    <message>
        <source>Pulse generator</source>
        <translation>Pulsgenerator</translation>
    </message>
    <message>
        <source>Bandwidth</source>
        <translation>Bandbreite</translation>
    </message>
    <message>
        <source>Gating time</source>
        <translation>Torzeit</translation>
    </message>
    <message>
        <source>Frequency (min)</source>
        <translation>Frequenz (min)</translation>
    </message>
    <message>
        <source>Frequency (max)</source>
        <translation>Frequenz (max)</translation>
    </message>
    <message>
        <source>Preamplifier</source>
        <translation>Vorverstärker</translation>
    </message>
    <message>
        <source>Amplitude (min)</source>
        <translation>Amplitude (min)</translation>
    </message>
    <message>
        <source>Amplitude (max)</source>
        <translation>Amplitude (max)</translation>
    </message>
    <message>
        <source>Hold maximum</source>
        <translation>Maximum halten</translation>
    </message>
    <message>
        <source>dB</source>
        <translation>dB</translation>
    </message>
    <message>
        <source>ms</source>
        <translation>ms</translation>
    </message>
    <message>
        <source>Enable pulse generator</source>
        <translation>Pulsgenerator einschalten</translation>
    </message>
    <message>
        <source>Enter start frequency</source>
        <translation>Startfrequenz eingeben</translation>
    </message>
    <message>
        <source>MHz</source>
        <translation>MHz</translation>
    </message>
    <message>
        <source>Enter end frequency</source>
        <translation>Endfrequenz eingeben</translation>
    </message>
    <message>
        <source>Enter minimum amplitude</source>
        <translation>Minimale Amplitude eingeben</translation>
    </message>
    <message>
        <source>Enter maximum amplitude</source>
        <translation>Maximale Amplitude eingeben</translation>
    </message>
    <message>
        <source>Select bandwidth</source>
        <translation>Bandbreite wählen</translation>
    </message>
    <message>
        <source>Enter gating time</source>
        <translation>Torzeit eingeben</translation>
    </message>
    <message>
        <source>Enable preamplifier</source>
        <translation>Vorverstärker einschalten</translation>
    </message>
    <message>
        <source>Enable max hold</source>
        <translation>Maximalwert halten einschalten</translation>
    </message>
</context>
<context>
    <name>SetupSystemDialog</name>
    <message>
        <source>Language</source>
        <translation>Sprache</translation>
    </message>
    <message>
        <source>Date format</source>
        <translation>Datumsformat</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Datum</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Uhrzeit</translation>
    </message>
    <message>
        <source>Copy data to USB</source>
        <translation>Daten auf USB kopieren</translation>
    </message>
    <message>
        <source>Clear data</source>
        <translation>Daten löschen</translation>
    </message>
    <message>
        <source>Sweep rate</source>
        <translation>Netzfrequenz</translation>
    </message>
    <message>
        <source>Service mode</source>
        <translation>Servicemodus</translation>
    </message>
    <message>
        <source>Factory defaults</source>
        <translation>Werkseinstellungen</translation>
    </message>
    <message>
        <source>SW update</source>
        <translation>SW-Update</translation>
    </message>
    <message>
        <source>Ask for phase</source>
        <translation>Phase abfragen</translation>
    </message>
    <message>
        <source>Method</source>
        <translation>Methode</translation>
    </message>
    <message>
        <source>Address</source>
        <translation>Adresse</translation>
    </message>
    <message>
        <source>Mask</source>
        <translation>Netzmaske</translation>
    </message>
    <message>
        <source>Gateway</source>
        <translation>Gateway</translation>
    </message>
    <message>
        <source>Brightness</source>
        <translation>Helligkeit</translation>
    </message>
    <message>
        <source>System</source>
        <translation>System</translation>
    </message>
    <message>
        <source>Hz</source>
        <translation>Hz</translation>
    </message>
    <message>
        <source>Disable Service mode</source>
        <translation>Servicemodus ausschalten</translation>
    </message>
    <message>
        <source>Enable Service mode</source>
        <translation>Servicemodus einschalten</translation>
    </message>
    <message>
        <source>DHCP</source>
        <translation>DHCP</translation>
    </message>
    <message>
        <source>Static</source>
        <translation>Statisch</translation>
    </message>
    <message>
        <source>Select language</source>
        <translation>Sprache wählen</translation>
    </message>
    <message>
        <source>Select date format</source>
        <translation>Datumsformat wählen</translation>
    </message>
    <message>
        <source>Enter date</source>
        <translation>Datum eingeben</translation>
    </message>
    <message>
        <source>Enter time</source>
        <translation>Uhrzeit eingeben</translation>
    </message>
    <message>
        <source>Enter sweep rate</source>
        <translation>Netzfrequenz eingeben</translation>
    </message>
    <message>
        <source>Service mode disabled</source>
        <translation>Servicemodus ausgeschaltet</translation>
    </message>
    <message>
        <source>Enter code</source>
        <translation>Code eingeben</translation>
    </message>
    <message>
        <source>Wrong code</source>
        <translation>Falscher Code</translation>
    </message>
    <message>
        <source>Service mode enabled</source>
        <translation>Servicemodus eingeschaltet</translation>
    </message>
    <message>
        <source>Load factory defaults?</source>
        <translation>Werkseinstellungen laden?</translation>
    </message>
    <message>
        <source>Factory defaults restored</source>
        <translation>Werkseinstellungen wiederhergestellt</translation>
    </message>
    <message>
        <source>Enable phase prompt</source>
        <translation>Phasenabfrage einschalten</translation>
    </message>
    <message>
        <source>Network settings could not be saved!</source>
        <translation>Netzwerkeinstellungen konnten nicht gespeichert werden!</translation>
    </message>
    <message>
        <source>Select method</source>
        <translation>Methode wählen</translation>
    </message>
    <message>
        <source>Enter address</source>
        <translation>Adresse eingeben</translation>
    </message>
    <message>
        <source>Enter mask</source>
        <translation>Netzmaske eingeben</translation>
    </message>
    <message>
        <source>Enter gateway</source>
        <translation>Gateway eingeben</translation>
    </message>
    <message>
        <source>Adjust brightness</source>
        <translation>Helligkeit einstellen</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Kopieren</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <source>Load</source>
        <translation>Laden</translation>
    </message>
    <message>
        <source>Update</source>
        <translation>Aktualisieren</translation>
    </message>
</context>
<context>
    <name>SetupTimeDialog</name>
    <message>
        <source>Frequency</source>
        <translation>Frequenz</translation>
    </message>
    <message>
        <source>Preamplifier</source>
        <translation>Vorverstärker</translation>
    </message>
    <message>
        <source>Phase shift</source>
        <translation>Phasenverschiebung</translation>
    </message>
    <message>
        <source>Resolution</source>
        <translation>Auflösung</translation>
    </message>
    <message>
        <source>Bandwidth</source>
        <translation>Bandbreite</translation>
    </message>
    <message>
        <source>Persistency</source>
        <translation>Nachleuchtdauer</translation>
    </message>
    <message>
        <source>Amplitude (max)</source>
        <translation>Amplitude (max)</translation>
    </message>
    <message>
        <source>Maximum quantity</source>
        <translation>Maximale Anzahl</translation>
    </message>
    <message>
        <source>Amplitude (min)</source>
        <translation>Amplitude (min)</translation>
    </message>
    <message>
        <source>Update Interval</source>
        <translation>Aktualisierungsintervall</translation>
    </message>
    <message>
        <source>Infinite</source>
        <translation>Unendlich</translation>
    </message>
    <message>
        <source>ms</source>
        <translation>ms</translation>
    </message>
    <message>
        <source>Enter frequency</source>
        <translation>Frequenz eingeben</translation>
    </message>
    <message>
        <source>MHz</source>
        <translation>MHz</translation>
    </message>
    <message>
        <source>Enter minimum amplitude</source>
        <translation>Minimale Amplitude eingeben</translation>
    </message>
    <message>
        <source>Enter maximum amplitude</source>
        <translation>Maximale Amplitude eingeben</translation>
    </message>
    <message>
        <source>Enable Preamplifier</source>
        <translation>Vorverstärker einschalten</translation>
    </message>
    <message>
        <source>Select bandwidth</source>
        <translation>Bandbreite wählen</translation>
    </message>
    <message>
        <source>Enter maximum quantity</source>
        <translation>Maximale Anzahl eingeben</translation>
    </message>
    <message>
        <source>Enter phase shift</source>
        <translation>Phasenverschiebung eingeben</translation>
    </message>
    <message>
        <source>Select resolution</source>
        <translation>Auflösung wählen</translation>
    </message>
    <message>
        <source>Enter update interval</source>
        <translation>Aktualisierungsintervall eingeben</translation>
    </message>
</context>
<context>
    <name>SpectrumDialog</name>
    <message>
        <source>Spectrum</source>
        <translation>Spektrum</translation>
    </message>
    <message>
        <source>Max</source>
        <translation>Max</translation>
    </message>
    <message>
        <source>Avg</source>
        <translation>Mittel</translation>
    </message>
    <message>
        <source>RefMax</source>
        <translation>RefMax</translation>
    </message>
    <message>
        <source>RefAvg</source>
        <translation>RefMittel</translation>
    </message>
    <message>
        <source>Diff</source>
        <translation>Diff</translation>
    </message>
    <message>
        <source>(H)</source>
        <translation>(H)</translation>
    </message>
    <message>
        <source>NullOff: &lt;b&gt;%1&lt;/b&gt;</source>
        <translation>NullOff: &lt;b&gt;%1&lt;/b&gt;</translation>
    </message>
    <message>
        <source>AvgAmp: &lt;b&gt;%1&lt;/b&gt;</source>
        <translation>AvgAmp: &lt;b&gt;%1&lt;/b&gt;</translation>
    </message>
    <message>
        <source>AvgOff: &lt;b&gt;%1&lt;/b&gt;</source>
        <translation>AvgOff: &lt;b&gt;%1&lt;/b&gt;</translation>
    </message>
    <message>
        <source>AvgFak: &lt;b&gt;%1&lt;/b&gt;</source>
        <translation>AvgFak: &lt;b&gt;%1&lt;/b&gt;</translation>
    </message>
    <message>
        <source>Ant:</source>
        <translation>Ant:</translation>
    </message>
    <message>
        <source>UHF</source>
        <translation>UHF</translation>
    </message>
    <message>
        <source>Time:</source>
        <translation>Zeit:</translation>
    </message>
    <message>
        <source>ms</source>
        <translation>ms</translation>
    </message>
    <message>
        <source>Band:</source>
        <translation>Band:</translation>
    </message>
    <message>
        <source>MHz</source>
        <translation>MHz</translation>
    </message>
    <message>
        <source>Freq</source>
        <translation>Freq</translation>
    </message>
    <message>
        <source>PLL unlocked</source>
        <translation>PLL nicht eingerastet</translation>
    </message>
    <message>
        <source>Wait for complete data...</source>
        <translation>Warten auf vollständige Daten...</translation>
    </message>
    <message>
        <source>Marker</source>
        <translation>Marker</translation>
    </message>
    <message>
        <source>Clear all</source>
        <translation>Alle löschen</translation>
    </message>
    <message>
        <source>Select marker</source>
        <translation>Marker wählen</translation>
    </message>
    <message>
        <source>Maximum</source>
        <translation>Maximum</translation>
    </message>
    <message>
        <source>Average</source>
        <translation>Mittelwert</translation>
    </message>
    <message>
        <source>Ref Maximum</source>
        <translation>Ref-Maximum</translation>
    </message>
    <message>
        <source>Ref Average</source>
        <translation>Ref-Mittelwert</translation>
    </message>
    <message>
        <source>Difference</source>
        <translation>Differenz</translation>
    </message>
    <message>
        <source>Select trace</source>
        <translation>Kurven anzeigen</translation>
    </message>
    <message>
        <source>Store-/Recall curve</source>
        <translation>Kurve speichern/laden</translation>
    </message>
    <message>
        <source>Edit curve name</source>
        <translation>Kurvenname bearbeiten</translation>
    </message>
    <message>
        <source>Select curve</source>
        <translation>Kurve wählen</translation>
    </message>
    <message>
        <source>Autodetect algorithm</source>
        <translation>Autodetektion</translation>
    </message>
</context>
<context>
    <name>StoreRecallDialog</name>
    <message>
        <source>StoreRecallDialog</source>
        <translation>Kurven speichern/laden</translation>
    </message>
    <message>
        <source>RC_A</source>
        <translation>RC_A</translation>
    </message>
    <message>
        <source>RC_B</source>
        <translation>RC_B</translation>
    </message>
    <message>
        <source>RC_C</source>
        <translation>RC_C</translation>
    </message>
    <message>
        <source>RC_D</source>
        <translation>RC_D</translation>
    </message>
    <message>
        <source>Clear all</source>
        <translation>Alle löschen</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Zurück</translation>
    </message>
</context>
<context>
    <name>TextEditDialog</name>
    <message>
        <source>Exit</source>
        <translation>Zurück</translation>
    </message>
    <message>
        <source>Empty text is not allowed</source>
        <translation>Leerer Text ist nicht erlaubt</translation>
    </message>
</context>
<context>
    <name>TimeDomainDialog</name>
    <message>
        <source>Time Domain</source>
        <translation>Zeitbereich</translation>
    </message>
    <message>
        <source>Max</source>
        <translation>Max</translation>
    </message>
    <message>
        <source>Ant:</source>
        <translation>Ant:</translation>
    </message>
    <message>
        <source>Freq:</source>
        <translation>Freq:</translation>
    </message>
    <message>
        <source>MHz</source>
        <translation>MHz</translation>
    </message>
    <message>
        <source>Band:</source>
        <translation>Band:</translation>
    </message>
    <message>
        <source>Sync:</source>
        <translation>Sync:</translation>
    </message>
    <message>
        <source>Persist:</source>
        <translation>Nachl.:</translation>
    </message>
    <message>
        <source>Inf</source>
        <translation>Unendl.</translation>
    </message>
    <message>
        <source>Phase:</source>
        <translation>Phase:</translation>
    </message>
    <message>
        <source>Act:</source>
        <translation>Akt:</translation>
    </message>
    <message>
        <source>ActLvl:</source>
        <translation>AktSchw.:</translation>
    </message>
    <message>
        <source>mV</source>
        <translation>mV</translation>
    </message>
    <message>
        <source>Select sync sensor</source>
        <translation>Sync-Sensor wählen</translation>
    </message>
    <message>
        <source>Select volume</source>
        <translation>Lautstärke wählen</translation>
    </message>
    <message>
        <source>Adjust linear amplification</source>
        <translation>Lineare Verstärkung einstellen</translation>
    </message>
    <message>
        <source>Preamplifier</source>
        <translation>Vorverstärker</translation>
    </message>
    <message>
        <source>Off</source>
        <translation>Aus</translation>
    </message>
    <message>
        <source>On</source>
        <translation>Ein</translation>
    </message>
</context>
<context>
    <name>ValueEditDialog</name>
    <message>
        <source>ms</source>
        <translation>ms</translation>
    </message>
    <message>
        <source>%1 &lt;= %2 &lt;= %3</source>
        <translation>%1 &lt;= %2 &lt;= %3</translation>
    </message>
    <message>
        <source>value</source>
        <translation>Wert</translation>
    </message>
    <message>
        <source>Enter frequency</source>
        <translation>Frequenz eingeben</translation>
    </message>
    <message>
        <source>MHz</source>
        <translation>MHz</translation>
    </message>
</context>
<context>
    <name>ValueSelectDialog</name>
    <message>
        <source>Exit</source>
        <translation>Zurück</translation>
    </message>
    <message>
        <source>MHz</source>
        <translation>MHz</translation>
    </message>
    <message>
        <source>Infinite</source>
        <translation>Unendlich</translation>
    </message>
    <message>
        <source>Off</source>
        <translation>Aus</translation>
    </message>
    <message>
        <source>On</source>
        <translation>Ein</translation>
    </message>
    <message>
        <source>No</source>
        <translation>Nein</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Ja</translation>
    </message>
</context>
</TS>
