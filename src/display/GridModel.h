// The spot grid's cells, their attributes and balloons, its rows and its
// current row, kept apart from any drawing so the spot table can be driven
// and tested without a window. A widget draws it and follows its changes
// through a TGridObserver.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace skimby {

// 24-bit colour in blue-green-red order (red in the low byte), or one of the
// named system colours below: 0xFF in the top byte marks them, the low byte
// tells them apart, and the widget takes them from its palette when it
// draws (GridColors.h), so the grid follows the desktop's colours.
using TColor = std::uint32_t;

constexpr TColor clBlack = 0x000000;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clGreen = 0x008000;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clWhite = 0xFFFFFF;

constexpr TColor clSystemColor = 0xFF000000;
constexpr TColor clWindow = clSystemColor | 5;
constexpr TColor clWindowText = clSystemColor | 8;
constexpr TColor clBtnFace = clSystemColor | 15;
constexpr TColor clBtnShadow = clSystemColor | 16;     // 3-D shadow
constexpr TColor clBtnHighlight = clSystemColor | 20;  // 3-D highlight
constexpr TColor clInfoText = clSystemColor | 23;
constexpr TColor clInfoBk = clSystemColor | 24;

constexpr bool IsSystemColor(TColor c) {
    return (c & 0xFF000000u) == clSystemColor;
}

// Look of one cell, created the first time the cell gets a colour, a font
// style or a balloon; it starts as a copy of the grid's own look.
struct TCellAttributes {
    TColor FontColor = clWindowText;
    bool Bold = false;
    int FontSize = 9;  // points
    std::string FontName = "Tahoma";
    TColor BackgroundColor = clWindow;
    bool WordWrap = true;
};

enum TBalloonIcon : int { biNone = 0, biInfo = 1, biWarning = 2, biError = 3 };

struct TCellBalloon {
    std::string Title;
    std::string Text;
    int Icon = biInfo;
};

struct TGridCell {
    std::string Text;
    std::optional<TCellAttributes> Attributes;
    std::optional<TCellBalloon> Balloon;
};

// What the drawing side is told. Each call comes right after the model has
// changed, on the thread that changed it.
class TGridObserver {
  public:
    virtual ~TGridObserver() = default;
    virtual void CellChanged(int col, int row) = 0;
    virtual void RowsAppended(int first, int count) = 0;
    // Rows first..first+count-1 are gone; the rows below moved up. The
    // model's current row is already updated; previousCurrentRow is what it
    // was before the removal.
    virtual void RowsRemoved(int first, int count, int previousCurrentRow) = 0;
    virtual void CurrentRowChanged(int row) = 0;
    virtual void ColWidthChanged(int col) = 0;
};

// Lives exactly as long as the object that holds it; a copy of that object
// gets a token of its own. Whoever keeps a reference to the object can watch
// the token to learn whether the object is still there.
class TLifeToken {
  public:
    TLifeToken() : Token(std::make_shared<char>()) {}
    TLifeToken(const TLifeToken&) : TLifeToken() {}
    TLifeToken& operator=(const TLifeToken&) { return *this; }
    std::weak_ptr<const char> Watch() const { return Token; }

  private:
    std::shared_ptr<char> Token;
};

class TGridModel {
  public:
    static constexpr int ColCount = 4;
    static constexpr int DefaultColWidth = 80;
    static constexpr std::array<const char*, ColCount> HeaderTexts{"From", "Freq", "Call", "Info"};

    // The header row with its texts and one empty current row.
    TGridModel();

    // Every observer added hears of every change until it is removed; each
    // removes only itself. Adding one twice adds it once.
    void AddObserver(TGridObserver* observer);
    void RemoveObserver(TGridObserver* observer);
    // Expires when the model is destroyed, so that an observer that outlives
    // it (a widget deleted with its window after the model) leaves it alone.
    std::weak_ptr<const char> Life() const { return FLife.Watch(); }

    int RowCount() const { return static_cast<int>(Rows.size()); }
    // New rows at the bottom are empty; removed rows take their
    // attributes and balloons with them.
    void SetRowCount(int n);

    const std::string& Cells(int col, int row) const;
    void SetCells(int col, int row, const std::string& text);
    const TGridCell& Cell(int col, int row) const { return Rows.at(row).at(col); }

    void SetCellFontColor(int col, int row, TColor color);
    void SetCellFontStyleBold(int col, int row, bool bold);
    // A cell keeps its first balloon; later ones are ignored.
    void AddCellBalloon(int col, int row, const std::string& title, const std::string& text,
                        int icon);

    int CurrentRow() const { return CurrentRowIndex; }
    // Rows 1..RowCount-1 can be current; the header cannot.
    void SetCurrentRow(int row);

    // Removes count rows from row first on; the rows below move up with
    // their texts, attributes and balloons.
    void DeleteRows(int first, int count);

    int ColWidth(int col) const { return ColWidths.at(col); }
    void SetColWidth(int col, int width);

    bool BalloonEnabled() const { return Balloons; }
    void SetBalloonEnabled(bool on) { Balloons = on; }

  private:
    using TGridRow = std::array<TGridCell, ColCount>;

    TCellAttributes& AttributesOf(int col, int row);
    void NotifyCell(int col, int row);
    template <typename TCall>
    void Notify(TCall call);

    std::vector<TGridRow> Rows;
    std::array<int, ColCount> ColWidths{DefaultColWidth, DefaultColWidth, DefaultColWidth,
                                        DefaultColWidth};
    int CurrentRowIndex = 1;
    bool Balloons = false;
    std::vector<TGridObserver*> Observers;
    TLifeToken FLife;
};

}  // namespace skimby
