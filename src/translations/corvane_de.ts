<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>Configuration</name>
    <message>
        <location filename="../util/Configuration.cpp" line="+254"/>
        <source>Fine</source>
        <translation>Fein</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Moderate</source>
        <translation>Mittel</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Coarse</source>
        <translation>Grob</translation>
    </message>
    <message>
        <location line="+2"/>
        <location line="+10"/>
        <location line="+11"/>
        <location line="+11"/>
        <source>???</source>
        <translation>???</translation>
    </message>
    <message>
        <location line="-26"/>
        <source>UHF</source>
        <translation>UHF</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>TEV</source>
        <translation>TEV</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>HFCT</source>
        <translation>HFCT</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>LOG</source>
        <translation>LOG</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>RMS</source>
        <translation>RMS</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>ENV</source>
        <translation>ENV</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Int E</source>
        <translation>Int E</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>RQ4417 (E)</source>
        <translation>RQ4417 (E)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>RQ4417 (H)</source>
        <translation>RQ4417 (H)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>TL4418</source>
        <translation>TL4418</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>L1</source>
        <translation>L1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>L2</source>
        <translation>L2</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>L3</source>
        <translation>L3</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Unspecified</source>
        <translation>Nicht angegeben</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>DD.MM.YYYY</source>
        <translation>TT.MM.JJJJ</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>YYYY.MM.DD</source>
        <translation>JJJJ.MM.TT</translation>
    </message>
</context>
<context>
    <name>DateTimeEditDialog</name>
    <message>
        <location filename="../dialogs/DateTimeEditDialog.ui" line="+116"/>
        <source>Exit</source>
        <translation>Zurück</translation>
    </message>
</context>
<context>
    <name>LevelMeterDialog</name>
    <message>
        <location filename="../dialogs/SetupLevelDialog.cpp" line="+26"/>
        <location filename="../MainWindow.cpp" line="+222"/>
        <source>Level</source>
        <translation>Pegel</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <location filename="../MainWindow.ui" line="+28"/>
        <source>Corvane</source>
        <translation>Corvane</translation>
    </message>
    <message>
        <location filename="../MainWindow.cpp" line="-16"/>
        <source>Folder %1</source>
        <translation>Ordner %1</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>Main menu</source>
        <translation>Hauptmenü</translation>
    </message>
    <message>
        <location line="+30"/>
        <location line="+88"/>
        <source>Help</source>
        <translation>Hilfe</translation>
    </message>
    <message>
        <location line="-16"/>
        <source>Edit folder name</source>
        <translation>Ordnername bearbeiten</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Select antenna</source>
        <translation>Antenne wählen</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Sensor connection on channel REF/RFF/CAL</source>
        <translation>Sensoranschluss an Kanal REF/RFF/CAL</translation>
    </message>
</context>
<context>
    <name>SetupAlgorithmDialog</name>
    <message>
        <location filename="../dialogs/SetupAlgorithmDialog.ui" line="+9"/>
        <source>Number of rounds
(high Gating Time)</source>
        <translation>Anzahl Durchläufe
(lange Torzeit)</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>High Gating Time</source>
        <translation>Lange Torzeit</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Number of rounds
(low Gating Time)</source>
        <translation>Anzahl Durchläufe
(kurze Torzeit)</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>Lower Gating Time</source>
        <translation>Kurze Torzeit</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Smoothing Filter</source>
        <translation>Glättungsfilter</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Amplifier</source>
        <translation>Verstärker</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Amplifier Factor G</source>
        <translation>Verstärkungsfaktor G</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Threshold Block 1</source>
        <translation>Schwelle Block 1</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Threshold Block 2</source>
        <translation>Schwelle Block 2</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Threshold Block 3</source>
        <translation>Schwelle Block 3</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Threshold Block 4</source>
        <translation>Schwelle Block 4</translation>
    </message>
    <message>
        <location filename="../dialogs/SetupAlgorithmDialog.cpp" line="+26"/>
        <source>Algorithm</source>
        <translation>Algorithmus</translation>
    </message>
</context>
<context>
    <name>SetupDialog</name>
    <message>
        <location filename="../dialogs/SetupDialog.cpp" line="+159"/>
        <source>Select setup category</source>
        <translation>Einstellungsbereich wählen</translation>
    </message>
    <message>
        <location line="+92"/>
        <location filename="../MainWindow.cpp" line="-79"/>
        <source>Setup</source>
        <translation>Einstellungen</translation>
    </message>
</context>
<context>
    <name>SetupInfoDialog</name>
    <message>
        <location filename="../dialogs/SetupInfoDialog.ui" line="+9"/>
        <source>Software version</source>
        <translation>Softwareversion</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Software date</source>
        <translation>Softwaredatum</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>FPGA version</source>
        <translation>FPGA-Version</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Operation System version</source>
        <translation>Betriebssystemversion</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Serial number</source>
        <translation>Seriennummer</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Radio variant</source>
        <translation>Funkvariante</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>MAC address</source>
        <translation>MAC-Adresse</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>IP address</source>
        <translation>IP-Adresse</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Available space</source>
        <translation>Speichergröße</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Free space</source>
        <translation>Freier Speicher</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Used space</source>
        <translation>Belegter Speicher</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Battery status</source>
        <translation>Akkuzustand</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Battery capacity</source>
        <translation>Akkuladung</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Battery voltage</source>
        <translation>Akkuspannung</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Battery current</source>
        <translation>Akkustrom</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Battery temperature</source>
        <translation>Akkutemperatur</translation>
    </message>
    <message>
        <location filename="../dialogs/SetupInfoDialog.cpp" line="+24"/>
        <source>Info</source>
        <translation>Info</translation>
    </message>
</context>
<context>
    <name>SetupLevelDialog</name>
    <message>
        <location filename="../dialogs/SetupLevelDialog.ui" line="+9"/>
        <source>Gating Time</source>
        <translation>Torzeit</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Amplitude (min)</source>
        <translation>Amplitude (min)</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Measure Mode</source>
        <translation>Messart</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Preamplifier</source>
        <translation>Vorverstärker</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Amplitude (max)</source>
        <translation>Amplitude (max)</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Bandwidth</source>
        <translation>Bandbreite</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Frequency</source>
        <translation>Frequenz</translation>
    </message>
</context>
<context>
    <name>SetupServiceDialog</name>
    <message>
        <location filename="../dialogs/SetupServiceDialog.cpp" line="+26"/>
        <source>Service</source>
        <translation>Service</translation>
    </message>
</context>
<context>
    <name>SetupSpectrumDialog</name>
    <message>
        <location filename="../dialogs/SetupSpectrumDialog.ui" line="+9"/>
        <source>Pulse generator</source>
        <translation>Pulsgenerator</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Bandwidth</source>
        <translation>Bandbreite</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Gating time</source>
        <translation>Torzeit</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Frequency (min)</source>
        <translation>Frequenz (min)</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Frequency (max)</source>
        <translation>Frequenz (max)</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Preamplifier</source>
        <translation>Vorverstärker</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Amplitude (min)</source>
        <translation>Amplitude (min)</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Amplitude (max)</source>
        <translation>Amplitude (max)</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Hold maximum</source>
        <translation>Maximum halten</translation>
    </message>
</context>
<context>
    <name>SetupSystemDialog</name>
    <message>
        <location filename="../dialogs/SetupSystemDialog.ui" line="+9"/>
        <source>Language</source>
        <translation>Sprache</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Date format</source>
        <translation>Datumsformat</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Date</source>
        <translation>Datum</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Time</source>
        <translation>Uhrzeit</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Copy data to USB</source>
        <translation>Daten auf USB kopieren</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Clear data</source>
        <translation>Daten löschen</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Sweep rate</source>
        <translation>Netzfrequenz</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Service mode</source>
        <translation>Servicemodus</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Factory defaults</source>
        <translation>Werkseinstellungen</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>SW update</source>
        <translation>SW-Update</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Ask for phase</source>
        <translation>Phase abfragen</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Method</source>
        <translation>Methode</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Address</source>
        <translation>Adresse</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Mask</source>
        <translation>Netzmaske</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Gateway</source>
        <translation>Gateway</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Brightness</source>
        <translation>Helligkeit</translation>
    </message>
    <message>
        <location filename="../dialogs/SetupSystemDialog.cpp" line="+24"/>
        <source>System</source>
        <translation>System</translation>
    </message>
</context>
<context>
    <name>SetupTimeDialog</name>
    <message>
        <location filename="../dialogs/SetupTimeDialog.ui" line="+9"/>
        <source>Frequency</source>
        <translation>Frequenz</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Preamplifier</source>
        <translation>Vorverstärker</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Phase shift</source>
        <translation>Phasenverschiebung</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Resolution</source>
        <translation>Auflösung</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Bandwidth</source>
        <translation>Bandbreite</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Persistency</source>
        <translation>Nachleuchtdauer</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Amplitude (max)</source>
        <translation>Amplitude (max)</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Maximum quantity</source>
        <translation>Maximale Anzahl</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Amplitude (min)</source>
        <translation>Amplitude (min)</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Update Interval</source>
        <translation>Aktualisierungsintervall</translation>
    </message>
</context>
<context>
    <name>SpectrumDialog</name>
    <message>
        <location filename="../dialogs/SpectrumDialog.ui" line="+14"/>
        <location filename="../dialogs/SetupSpectrumDialog.cpp" line="+26"/>
        <location filename="../MainWindow.cpp" line="-43"/>
        <location line="+18"/>
        <source>Spectrum</source>
        <translation>Spektrum</translation>
    </message>
    <message>
        <location filename="../dialogs/SpectrumDialog.cpp" line="+123"/>
        <location line="+522"/>
        <source>Max</source>
        <translation>Max</translation>
    </message>
    <message>
        <location line="-521"/>
        <location line="+534"/>
        <source>Avg</source>
        <translation>Mittel</translation>
    </message>
    <message>
        <location line="-533"/>
        <location line="+526"/>
        <source>RefMax</source>
        <translation>RefMax</translation>
    </message>
    <message>
        <location line="-525"/>
        <location line="+534"/>
        <source>RefAvg</source>
        <translation>RefMittel</translation>
    </message>
    <message>
        <location line="-533"/>
        <location line="+534"/>
        <source>Diff</source>
        <translation>Diff</translation>
    </message>
    <message>
        <location line="-16"/>
        <location line="+6"/>
        <source>(H)</source>
        <translation>(H)</translation>
    </message>
    <message>
        <location line="+42"/>
        <source>NullOff: &lt;b&gt;%1&lt;/b&gt;</source>
        <translation>NullOff: &lt;b&gt;%1&lt;/b&gt;</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>AvgAmp: &lt;b&gt;%1&lt;/b&gt;</source>
        <translation>AvgAmp: &lt;b&gt;%1&lt;/b&gt;</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>AvgOff: &lt;b&gt;%1&lt;/b&gt;</source>
        <translation>AvgOff: &lt;b&gt;%1&lt;/b&gt;</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>AvgFak: &lt;b&gt;%1&lt;/b&gt;</source>
        <translation>AvgFak: &lt;b&gt;%1&lt;/b&gt;</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Ant:</source>
        <translation>Ant:</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>UHF</source>
        <translation>UHF</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Time:</source>
        <translation>Zeit:</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>ms</source>
        <translation>ms</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Band:</source>
        <translation>Band:</translation>
    </message>
    <message>
        <location line="+0"/>
        <location line="+10"/>
        <source>MHz</source>
        <translation>MHz</translation>
    </message>
    <message>
        <location line="-1"/>
        <source>Freq</source>
        <translation>Freq</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>PLL unlocked</source>
        <translation>PLL nicht eingerastet</translation>
    </message>
    <message>
        <location line="+42"/>
        <source>Wait for complete data...</source>
        <translation>Warten auf vollständige Daten...</translation>
    </message>
</context>
<context>
    <name>StoreRecallDialog</name>
    <message>
        <location filename="../dialogs/StoreRecallDialog.ui" line="+14"/>
        <source>StoreRecallDialog</source>
        <translation>Kurven speichern/laden</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>RC_A</source>
        <translation>RC_A</translation>
    </message>
    <message>
        <location line="+51"/>
        <source>RC_B</source>
        <translation>RC_B</translation>
    </message>
    <message>
        <location line="+51"/>
        <source>RC_C</source>
        <translation>RC_C</translation>
    </message>
    <message>
        <location line="+51"/>
        <source>RC_D</source>
        <translation>RC_D</translation>
    </message>
    <message>
        <location line="+55"/>
        <source>Clear all</source>
        <translation>Alle löschen</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>Exit</source>
        <translation>Zurück</translation>
    </message>
</context>
<context>
    <name>TextEditDialog</name>
    <message>
        <location filename="../dialogs/TextEditDialog.ui" line="+803"/>
        <source>Exit</source>
        <translation>Zurück</translation>
    </message>
    <message>
        <location filename="../dialogs/TextEditDialog.cpp" line="+123"/>
        <source>Empty text is not allowed</source>
        <translation>Leerer Text ist nicht erlaubt</translation>
    </message>
</context>
<context>
    <name>TimeDomainDialog</name>
    <message>
        <location filename="../dialogs/SetupTimeDialog.cpp" line="+26"/>
        <location filename="../MainWindow.cpp" line="-17"/>
        <source>Time Domain</source>
        <translation>Zeitbereich</translation>
    </message>
</context>
<context>
    <name>ValueEditDialog</name>
    <message>
        <location filename="../dialogs/ValueEditDialog.cpp" line="+137"/>
        <source>ms</source>
        <translation>ms</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>%1 &lt;= %2 &lt;= %3</source>
        <translation>%1 &lt;= %2 &lt;= %3</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>value</source>
        <translation>Wert</translation>
    </message>
</context>
<context>
    <name>ValueSelectDialog</name>
    <message>
        <location filename="../dialogs/ValueSelectDialog.ui" line="+115"/>
        <source>Exit</source>
        <translation>Zurück</translation>
    </message>
    <message>
        <location filename="../dialogs/ValueSelectDialog.cpp" line="+281"/>
        <source>MHz</source>
        <translation>MHz</translation>
    </message>
    <message>
        <location line="+31"/>
        <source>Infinite</source>
        <translation>Unendlich</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Off</source>
        <translation>Aus</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>On</source>
        <translation>Ein</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>No</source>
        <translation>Nein</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Yes</source>
        <translation>Ja</translation>
    </message>
</context>
</TS>
