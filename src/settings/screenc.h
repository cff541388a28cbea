#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class screenconfig;
}

// The settings dialog of configure mode: the screen text and the hour differences to local time
// and to UTC, saved to the settings file with OK and left untouched with Abbruch. As the one
// form of its run, closing it ends the program.
class Tscreenconfig : public QDialog
{
    Q_OBJECT
public:
    explicit Tscreenconfig(QWidget *parent = nullptr);
    ~Tscreenconfig() override;

private:
    void fitToCaptions();
    void FormCreate();
    void btnOKClick();
    void Button2Click();

    std::unique_ptr<Ui::screenconfig> ui_;
};
