#pragma once

#include <QObject>

// Lets the hardware Up and Down keys move the cursor of the text editor's line: Up one
// position to the left, Down one to the right. Every other event passes unchanged.
class TextEditEventFilter : public QObject {
    Q_OBJECT

public:
    explicit TextEditEventFilter(QObject* parent = nullptr);

    bool eventFilter(QObject* watched, QEvent* event) override;
};
