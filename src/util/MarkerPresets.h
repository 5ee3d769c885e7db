#pragma once

#include <QList>
#include <QPair>
#include <QString>

// The spectrum screen's markers as the other screens see them: two in-memory lists in the
// settings store (path "markers", keys "frequencies" in MHz and "amplitudes" in dBm, one entry per
// visible marker in marker order, lost at a restart). The time-domain and level screens and
// their setup pages offer the frequencies as presets of their frequency editors.
class MarkerPresets {
public:
    static void store(const QList<int>& frequencies, const QList<int>& amplitudes);
    static QList<int> frequencies();
    static QList<int> amplitudes();

    // One preset per stored frequency: (MHz, "<f> MHz\n[Marker <i + 1>]"). Empty without markers.
    static QList<QPair<int, QString>> frequencyPresets();
    // The amplitude stored with the first marker at exactly this frequency; false when no marker
    // is there or the amplitude list is shorter.
    static bool amplitudeAt(int frequency, int* amplitude);
};
