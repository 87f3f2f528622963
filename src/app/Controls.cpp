#include "app/Controls.h"

#include <qdrawutil.h>
#include <QMouseEvent>
#include <QPainter>
#include <QSizeGrip>

namespace skimby {

QFont FormFont() {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(10);
    return font;
}

// --- TPanel ----------------------------------------------------------------

TPanel::TPanel(QWidget* parent) : QWidget(parent) {
    setAutoFillBackground(true);
}

void TPanel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    qDrawShadeRect(&p, rect(), palette(), /*sunken=*/false, 1);
    qDrawShadeRect(&p, rect().adjusted(1, 1, -1, -1), palette(), /*sunken=*/true, 1);
}

// --- TStatusBar ------------------------------------------------------------

namespace {
constexpr int TextIndent = 3;
}

TStatusBar::TStatusBar(std::array<int, PanelCount> widths, QWidget* parent)
    : QWidget(parent), Widths(widths), Grip(new QSizeGrip(this)) {
    setAutoFillBackground(true);
}

QRect TStatusBar::PanelRect(int panel) const {
    int left = 0;
    for (int i = 0; i < panel; ++i) left += Widths.at(i);
    // Panels are drawn with 2 pixels between them and 2 above.
    return QRect(left, 2, Widths.at(panel) - 2, height() - 2);
}

void TStatusBar::SetPanelText(int panel, const QString& text) {
    if (Texts.at(panel) == text) return;
    Texts.at(panel) = text;
    update(PanelRect(panel));
}

void TStatusBar::paintEvent(QPaintEvent* e) {
    QPainter p(this);
    p.setFont(font());
    for (int i = 0; i < PanelCount; ++i) {
        const QRect r = PanelRect(i);
        if (!r.intersects(e->rect())) continue;
        qDrawShadePanel(&p, r, palette(), /*sunken=*/true, 1);
        const QRect textArea = r.adjusted(TextIndent, 1, -1, -1);
        p.setClipRect(textArea);
        p.setPen(palette().color(QPalette::WindowText));
        p.drawText(textArea, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, Texts[i]);
        p.setClipping(false);
    }
}

void TStatusBar::resizeEvent(QResizeEvent*) {
    const QSize grip = Grip->sizeHint().boundedTo(size());
    Grip->setGeometry(width() - grip.width(), height() - grip.height(), grip.width(),
                      grip.height());
}

// --- TMouseUpCheckBox ------------------------------------------------------

void TMouseUpCheckBox::mouseReleaseEvent(QMouseEvent* e) {
    const Qt::MouseButton button = e->button();
    const bool over = rect().contains(e->position().toPoint());
    QCheckBox::mouseReleaseEvent(e);
    if (over && OnMouseUp) OnMouseUp(button);
}

// --- TUpperCaseValidator ---------------------------------------------------

QValidator::State TUpperCaseValidator::validate(QString& input, int&) const {
    for (QChar& c : input) {
        const char16_t u = c.unicode();
        if (u > 0xFF) return Invalid;
        // Latin-1 small letters whose capital is in Latin-1 too: a-z and
        // 0xE0-0xFE except the division sign.
        if ((u >= 'a' && u <= 'z') || (u >= 0xE0 && u <= 0xFE && u != 0xF7)) c = QChar(u - 0x20);
    }
    return Acceptable;
}

}  // namespace skimby
