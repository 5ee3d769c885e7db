#pragma once

#include <QDialog>
#include <QList>
#include <QListWidgetItem>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace Ui {
class ValueSelectDialog;
}

class QPushButton;

// The option selector: a vertical list of options (plain, with icon, check box or radio button),
// a prompt line, an exit button and an optional custom button. Every enumerated setting is
// chosen with it; the static select...() functions are ready-made selectors for the settings'
// enumerations. One instance for the whole program; Up, Down, Return and Escape drive it as well
// as taps.
class ValueSelectDialog : public QDialog {
    Q_OBJECT

public:
    // One entry of the list. Created by the caller; once shown it belongs to the dialog's list,
    // which deletes it when the dialog is opened with other options the next time.
    class Option : public QListWidgetItem {
    public:
        enum Kind { KIND_TEXT = 0, KIND_ICON = 1, KIND_CHECKBOX = 2, KIND_RADIO = 3 };

        Option(const QString& text, const QVariant& value);
        Option(const QIcon& icon, const QString& text, const QVariant& value);
        Option(const QString& text, const QVariant& value, bool checked, bool radio);

        QVariant value() const;
        int kind() const;
        bool isChecked() const;
        // Check boxes and radio buttons show the matching icon.
        void setChecked(bool checked);
        // A not selectable option is shown disabled and ignores clicks.
        void setSelectable(bool selectable);
        bool isSelectable() const;

    private:
        void updateIcon();

        QVariant m_value;
        int m_kind;
        bool m_checked;
    };
    typedef QList<Option*> Options;

    // Values reported by value() for the two buttons.
    static const int VALUE_EXIT = 9990;
    static const int VALUE_CUSTOM = 9991;

    static ValueSelectDialog* instance();

    // Shows the options modally with the last option whose value equals currentValue as the
    // current row. 1 when an option (other than a check box) or the custom button was chosen,
    // 0 when left with exit or Escape.
    int exec(const QVariant& currentValue, const QString& prompt, const QList<Option*>& options, bool exitEnabled,
        bool customEnabled);
    QVariant value() const;
    // Lets a caller set the custom button's text or icon before exec().
    QPushButton* customButton() const;

    // Ready-made selectors: radio options with the current value checked and selected, exit
    // enabled (except selectYesNo), no custom button. They return exec()'s result; the choice
    // is read with value().
    static int selectResolution(int current, const QString& prompt);
    static int selectAntenna(int current, const QString& prompt, bool exitEnabled = true);
    static int selectBandwidth(int current, const QString& prompt);
    static int selectMeasMode(int current, const QString& prompt);
    static int selectSync(int current, const QString& prompt);
    static int selectPersistency(int current, const QString& prompt);
    static int selectOnOff(int current, const QString& prompt);
    static int selectYesNo(int current, const QString& prompt);
    // One option per installed language: its native name in its own font; value() is the code.
    static int selectLanguage(const QString& currentCode, const QString& prompt);
    static int selectDateFormat(int current, const QString& prompt);
    static int selectPhase(int current, const QString& prompt);
    // One option per mounted file system of the disk-usage listing whose mount point matches
    // pattern and is not excluded. Returns the chosen mount point, or an empty text.
    static QString selectMountPoint(
        const QString& current, const QString& pattern, const QStringList& excluded, const QString& prompt);

signals:
    void optionClicked(ValueSelectDialog::Option* option);
    void customButtonClicked();

public slots:
    void onItemClicked(QListWidgetItem* item);
    void onExitClicked();
    void onCustomClicked();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    ValueSelectDialog();
    ~ValueSelectDialog() override;

    static int selectRadio(const QVariant& current, const QString& prompt,
        const QList<QPair<QString, QVariant>>& labels, bool exitEnabled);
    void takeOverOptions(const QList<Option*>& options);
    void fitList();

    Ui::ValueSelectDialog* ui;
    QList<Option*> m_options;
    QVariant m_value;
};

Q_DECLARE_METATYPE(ValueSelectDialog::Option*)
