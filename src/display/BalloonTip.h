// The small window that shows a cell's balloon: an icon and a bold title
// line above the text, in the palette's tool-tip colours.
#pragma once

#include <QFrame>
#include <QLabel>

#include "display/CellTip.h"

namespace skimby {

class TBalloonTip : public QFrame {
    Q_OBJECT
  public:
    explicit TBalloonTip(QWidget* owner);

    // Shows the content with its top-left corner near the given point
    // (global coordinates), kept on the screen.
    void ShowAt(const QPoint& globalPos, const TTipContent& content);

    QString Title() const { return TitleLabel->text(); }
    QString Text() const { return TextLabel->text(); }
    int Icon() const { return IconNumber; }

  private:
    QLabel* IconLabel;
    QLabel* TitleLabel;
    QLabel* TextLabel;
    int IconNumber = biNone;
};

}  // namespace skimby
