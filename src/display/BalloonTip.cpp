#include "display/BalloonTip.h"

#include <QGridLayout>
#include <QGuiApplication>
#include <QScreen>
#include <QStyle>

namespace skimby {
namespace {

QString FromBytes(const std::string& bytes) {
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

QStyle::StandardPixmap PixmapOf(int icon) {
    switch (icon) {
        case biWarning:
            return QStyle::SP_MessageBoxWarning;
        case biError:
            return QStyle::SP_MessageBoxCritical;
        default:
            return QStyle::SP_MessageBoxInformation;
    }
}

QLabel* PlainLabel(QWidget* parent) {
    // Plain text: "&" stays itself and "<" is never read as markup.
    auto* label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setForegroundRole(QPalette::ToolTipText);
    return label;
}

}  // namespace

TBalloonTip::TBalloonTip(QWidget* owner)
    : QFrame(owner, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      IconLabel(new QLabel(this)),
      TitleLabel(PlainLabel(this)),
      TextLabel(PlainLabel(this)) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setForegroundRole(QPalette::ToolTipText);
    setBackgroundRole(QPalette::ToolTipBase);
    setAutoFillBackground(true);
    QFont bold = TitleLabel->font();
    bold.setBold(true);
    TitleLabel->setFont(bold);

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(8, 6, 8, 6);
    layout->setHorizontalSpacing(6);
    layout->addWidget(IconLabel, 0, 0);
    layout->addWidget(TitleLabel, 0, 1);
    layout->addWidget(TextLabel, 1, 0, 1, 2);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TBalloonTip::ShowAt(const QPoint& globalPos, const TTipContent& content) {
    IconNumber = content.Icon;
    IconLabel->setVisible(content.Icon != biNone);
    if (content.Icon != biNone) {
        const int size = style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, this);
        IconLabel->setPixmap(style()->standardIcon(PixmapOf(content.Icon)).pixmap(size));
    }
    TitleLabel->setText(FromBytes(content.Title));
    // Each CR LF-separated part of the text is a line of its own.
    QString text = FromBytes(content.Text);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    TextLabel->setText(text);
    adjustSize();

    QPoint at = globalPos + QPoint(0, 20);  // just below the pointer
    if (const QScreen* screen = QGuiApplication::screenAt(globalPos)) {
        const QRect room = screen->availableGeometry();
        at.setX(std::clamp(at.x(), room.left(), std::max(room.left(), room.right() - width())));
        if (at.y() + height() > room.bottom()) at.setY(globalPos.y() - height() - 4);
    }
    move(at);
    show();
    raise();
}

}  // namespace skimby
