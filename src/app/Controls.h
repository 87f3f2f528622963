// Small controls of the main window and the call-sign dialog that Qt does
// not have in this exact form.
#pragma once

#include <QCheckBox>
#include <QFont>
#include <QString>
#include <QValidator>
#include <QWidget>
#include <array>
#include <functional>

class QSizeGrip;

namespace skimby {

// The font of the window's and the dialog's controls. The design's "MS Sans
// Serif" 8 point is a bitmap font of Windows; DejaVu Sans at 10 pixels is
// the nearest installed sans font whose texts still fit the controls'
// designed sizes.
QFont FormFont();

// A panel with a raised outer and a lowered inner bevel, one pixel each,
// holding controls at fixed places.
class TPanel : public QWidget {
  public:
    explicit TPanel(QWidget* parent = nullptr);

  protected:
    void paintEvent(QPaintEvent* e) override;
};

// A status bar of two panels of fixed widths, each showing one line of
// text, and a size grip. Setting a text repaints only its panel and never
// changes the window's layout, so a text that changes many times a second
// costs little.
class TStatusBar : public QWidget {
  public:
    static constexpr int PanelCount = 2;

    TStatusBar(std::array<int, PanelCount> widths, QWidget* parent = nullptr);

    int PanelWidth(int panel) const { return Widths.at(panel); }
    // The panel's rectangle in the bar.
    QRect PanelRect(int panel) const;
    const QString& PanelText(int panel) const { return Texts.at(panel); }
    void SetPanelText(int panel, const QString& text);

  protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

  private:
    std::array<int, PanelCount> Widths;
    std::array<QString, PanelCount> Texts;
    QSizeGrip* Grip;
};

// A check box that reports the release of any mouse button over it, after
// the box has handled the click (so the tick has already changed).
class TMouseUpCheckBox : public QCheckBox {
  public:
    using QCheckBox::QCheckBox;

    std::function<void(Qt::MouseButton button)> OnMouseUp;

  protected:
    void mouseReleaseEvent(QMouseEvent* e) override;
};

// Turns the letters of typed or pasted text into capitals. Texts are 8-bit,
// so a character outside Latin-1 is refused. Set on a line edit it also
// applies to texts set by the program.
class TUpperCaseValidator : public QValidator {
  public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override;
};

}  // namespace skimby
