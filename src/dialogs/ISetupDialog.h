#pragma once

#include <QString>
#include <QWidget>

// A page of the setup frame. The frame knows its pages only through this interface: it asks
// whether a page may be offered, shows its title on the category button and activates it each
// time it becomes the shown page.
class ISetupDialog : public QWidget
{
    Q_OBJECT

public:
    explicit ISetupDialog(QWidget* parent = nullptr);

    // Called each time the page becomes the shown page: retranslate, refresh, take the focus.
    virtual void activate() = 0;
    // The translated page title.
    virtual QString title() const = 0;
    // Whether the frame may offer the page; by default whether the page is enabled.
    virtual bool isAvailable() const;
};
