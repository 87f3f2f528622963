#include "app/MainWindow.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCompleter>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include "app/CallsignDialog.h"
#include "app/Controls.h"
#include "app/MessageText.h"
#include "display/SpotGrid.h"
#include "settings/Settings.h"
#include "settings/SettingsLocation.h"

// The icon lives in a static library, whose resources are not registered
// by themselves; outside any namespace, as Qt requires.
static void InitResources() {
    Q_INIT_RESOURCE(skimby);
}

namespace skimby {

namespace {

// The window as designed; the settings then give it its place and size.
constexpr int DesignLeft = 244;
constexpr int DesignTop = 158;
constexpr int DesignClientWidth = 451;
constexpr int DesignClientHeight = 473;
constexpr int PanelHeight = 65;
constexpr int StatusBarHeight = 19;
// While spots stream in, the window shows their changes ten times a second:
// soon enough for the eye, and a fraction of the cost of a paint for every
// delivery.
constexpr std::chrono::milliseconds PaintInterval{100};

const char* const Caption = "Skimby";

std::string TitleFromProgramFile() {
    const QString file = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    return ApplicationTitle(file.toLocal8Bit().toStdString());
}

}  // namespace

TForm1::TForm1(TFormEnvironment environment, QWidget* parent)
    : QWidget(parent),
      Environment(std::move(environment)),
      AppTitle(Environment.ApplicationTitle.empty() ? TitleFromProgramFile()
                                                    : Environment.ApplicationTitle),
      Player(Environment.Sound),
      Spots(Model, Player, [this] { return CallSign(); }),
      Received(
          Spots, Members, *this,
          [this](const std::string& text) {
              if (Telnet1) Telnet1->SendLine(text);
          },
          [this] { return CallSign(); }),
      Telnet1(Environment.Telnet.get()),
      HTTP(Environment.Http.get()) {
    BuildControls();
    Pacer = new TPaintPacer(*this, PaintInterval);
    ConnectHandlers();
    ConnectTelnetEvents();
    Guarded([this] { FormCreate(); });
}

TForm1::~TForm1() {
    // The network clients go first: their reader ends while everything its
    // events reach still exists.
    Telnet1 = nullptr;
    HTTP = nullptr;
    Environment.Telnet.reset();
    Environment.Http.reset();
}

// --- Controls ----------------------------------------------------------------

void TForm1::BuildControls() {
    setWindowTitle(QString::fromLatin1(Caption));
    InitResources();
    setWindowIcon(QIcon(QStringLiteral(":/skimby/skimby.png")));
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    setFont(FormFont());
    move(DesignLeft, DesignTop);
    resize(DesignClientWidth, DesignClientHeight);

    Panel1 = new TPanel(this);

    Button1 = new QPushButton(QStringLiteral("Connect"), Panel1);
    Button1->setGeometry(82, 8, 67, 22);
    Button1->setToolTip(QStringLiteral("Connect to RBN cluster"));
    Button1->setAutoDefault(false);
    // Without network clients there is nothing to connect with.
    Button1->setEnabled(Environment.Telnet && Environment.Http);

    ComboBox1 = new QComboBox(Panel1);
    ComboBox1->setGeometry(9, 7, 68, 21);
    ComboBox1->setEditable(true);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    ComboBox1->completer()->setCaseSensitivity(Qt::CaseSensitive);

    Edit3 = new QLineEdit(QStringLiteral("NOCALL"), Panel1);
    Edit3->setGeometry(9, 32, 68, 21);
    Edit3->setValidator(new TUpperCaseValidator(Edit3));

    CheckBox1 = new QCheckBox(QStringLiteral("Sound"), Panel1);
    CheckBox1->setGeometry(85, 35, 57, 17);
    CheckBox1->setChecked(true);

    CheckBox2 = new TMouseUpCheckBox(QStringLiteral("Always on top"), Panel1);
    CheckBox2->setGeometry(160, 11, 97, 17);
    CheckBox2->setChecked(false);

    SpotGrid1 = new TSpotGrid(Model, this);
    StatusBar1 = new TStatusBar({150, 120}, this);

    setTabOrder(Button1, ComboBox1);
    setTabOrder(ComboBox1, Edit3);
    setTabOrder(Edit3, CheckBox1);
    setTabOrder(CheckBox1, CheckBox2);
    setTabOrder(CheckBox2, SpotGrid1);
    Button1->setFocus();
    LayoutControls();
}

// The panel along the top, the status bar along the bottom, and the grid in
// between; the grid cuts its height to whole rows itself.
void TForm1::LayoutControls() {
    const int w = width();
    const int h = height();
    Panel1->setGeometry(0, 0, w, PanelHeight);
    StatusBar1->setGeometry(0, h - StatusBarHeight, w, StatusBarHeight);
    SpotGrid1->setGeometry(0, PanelHeight, w, std::max(0, h - PanelHeight - StatusBarHeight));
    StatusBar1->raise();
}

void TForm1::resizeEvent(QResizeEvent*) {
    LayoutControls();
}

void TForm1::ConnectHandlers() {
    connect(CheckBox1, &QCheckBox::toggled, this,
            [this] { Guarded([this] { CheckBox1Click(); }); });
    CheckBox2->OnMouseUp = [this](Qt::MouseButton button) {
        Guarded([this, button] { CheckBox2MouseUp(button); });
    };
    connect(Button1, &QPushButton::clicked, this, [this] { Guarded([this] { Button1Click(); }); });
    connect(ComboBox1, &QComboBox::currentIndexChanged, this,
            [this] { Guarded([this] { ComboBox1Change(); }); });
    connect(ComboBox1, &QComboBox::editTextChanged, this,
            [this] { Guarded([this] { ComboBox1Change(); }); });
    // Like the design's selector, a selected name is shown from its start,
    // unless the operator is typing in it.
    connect(ComboBox1, &QComboBox::currentIndexChanged, this, [this] {
        if (!ComboBox1->lineEdit()->hasFocus()) ComboBox1->lineEdit()->setCursorPosition(0);
    });
    // Typed text that names no server is put back to the selected server's
    // name once the operator leaves the box, so the box shows what Connect uses.
    connect(ComboBox1->lineEdit(), &QLineEdit::editingFinished, this, [this] {
        const int index = ComboBox1->currentIndex();
        if (index >= 0 && ComboBox1->currentText() != ComboBox1->itemText(index)) {
            ComboBox1->setEditText(ComboBox1->itemText(index));
        }
    });
}

// --- Start-up, show and close ------------------------------------------------

void TForm1::FormCreate() {
    DecimalMark.Set();
    FolderName = Environment.ProgramFolder ? Environment.ProgramFolder() : std::string();
    SettingsPath = SettingsFileName(FolderName);
    // Played whatever the "Sound" box shows, and waited for.
    Player.SetWaveName(FolderName + "x.wav");
    Player.Play();
    LoadSettings(*this, Servers, FolderName, SettingsPath);
    SetStayOnTopStyle(OnTopFlag);
    Spots.PrepareSpotTable();
}

void TForm1::FormShow() {
    const std::string call = CallSign();
    if ((call != "NOCALL" && !call.empty()) || !Callsign) return;
    // Once this window is up, so that the dialog comes above it: both stay
    // on top of other windows.
    QTimer::singleShot(0, Callsign, [dialog = Callsign] {
        dialog->show();
        dialog->raise();
    });
}

void TForm1::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    // Shown by the program, not restored from the task bar.
    if (e->spontaneous()) return;
    Guarded([this] { FormShow(); });
    // Some window managers report the frame only a moment after mapping.
    QTimer::singleShot(0, this, [this] { FitOuterSizeToFrame(); });
    QTimer::singleShot(500, this, [this] { FitOuterSizeToFrame(); });
}

void TForm1::FormClose() {
    if (Telnet1 && Telnet1->IsOpen()) Telnet1->Close();
    SaveSettings(*this, SettingsPath);
    DecimalMark.Restore();
}

void TForm1::closeEvent(QCloseEvent* e) {
    if (Fetching) {
        // The fetch is given up first; Button1Click closes the window again
        // once it has returned.
        FetchAbandoned = true;
        if (HTTP) HTTP->Abort();
        e->ignore();
        return;
    }
    if (!Guarded([this] { FormClose(); })) {
        e->ignore();  // closing again tries again
        return;
    }
    if (Callsign) Callsign->close();
    e->accept();
}

// --- Check boxes ---------------------------------------------------------------

void TForm1::CheckBox1Click() {
    Spots.SetSoundOn(CheckBox1->isChecked());
}

// Only the mouse changes the flag; the window's style follows at the next
// start. Any button shows the message.
void TForm1::CheckBox2MouseUp(Qt::MouseButton) {
    OnTopFlag = CheckBox2->isChecked();
    if (Environment.ShowMessageDialog) {
        Environment.ShowMessageDialog(AppTitle, "Restart application to activate!");
    }
}

// --- Errors --------------------------------------------------------------------

void TForm1::ShowException(std::string_view message) {
    if (Environment.ShowErrorBox) Environment.ShowErrorBox(AppTitle, ErrorBoxText(message));
}

// --- Geometry --------------------------------------------------------------------

int TForm1::FrameExtraWidth() const {
    return frameGeometry().width() - QWidget::width();
}

int TForm1::FrameExtraHeight() const {
    return frameGeometry().height() - QWidget::height();
}

int TForm1::Width() const {
    return frameGeometry().width();
}

int TForm1::Height() const {
    return frameGeometry().height();
}

int TForm1::Left() const {
    return pos().x();
}

int TForm1::Top() const {
    return pos().y();
}

void TForm1::SetWidth(int value) {
    OuterWidth = value;
    OuterHeight = Height();
    ApplyOuterSize();
    OuterSizePending = true;
}

void TForm1::SetHeight(int value) {
    OuterWidth = Width();
    OuterHeight = value;
    ApplyOuterSize();
    OuterSizePending = true;
}

void TForm1::SetLeft(int value) {
    move(value, pos().y());
}

void TForm1::SetTop(int value) {
    move(pos().x(), value);
}

// The client area is the outer size less the frame. Before the window is
// shown the frame is not known, so the size is fitted again once the window
// system has framed the window.
void TForm1::ApplyOuterSize() {
    resize(std::max(1, OuterWidth - FrameExtraWidth()),
           std::max(1, OuterHeight - FrameExtraHeight()));
}

void TForm1::FitOuterSizeToFrame() {
    if (!OuterSizePending || !isVisible() || isMaximized() || isFullScreen()) return;
    if (FrameExtraWidth() == 0 && FrameExtraHeight() == 0) return;  // not framed (yet)
    OuterSizePending = false;
    if (Width() != OuterWidth || Height() != OuterHeight) ApplyOuterSize();
}

bool TForm1::event(QEvent* e) {
    const bool done = QWidget::event(e);
    if (e->type() == QEvent::Move || e->type() == QEvent::Resize) FitOuterSizeToFrame();
    return done;
}

bool TForm1::Maximized() const {
    return isMaximized();
}

int TForm1::PrimaryScreenWidth() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().width() : 0;
}

// --- Call sign, always on top, selector ------------------------------------------

std::string TForm1::CallSign() const {
    return Edit3->text().toLatin1().toStdString();
}

void TForm1::SetCallSign(const std::string& value) {
    Edit3->setText(QString::fromLatin1(value));
}

void TForm1::SetAlwaysOnTopCheck(bool checked) {
    CheckBox2->setChecked(checked);
}

void TForm1::SetStayOnTopStyle(bool onTop) {
    if (windowFlags().testFlag(Qt::WindowStaysOnTopHint) == onTop) return;
    const bool shown = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    if (shown) show();  // changing the flags hides a shown window
}

void TForm1::AddServerItem(const std::string& name) {
    ComboBox1->addItem(QString::fromLatin1(name));
}

int TForm1::ItemCount() const {
    return ComboBox1->count();
}

int TForm1::ItemIndex() const {
    return ComboBox1->currentIndex();
}

void TForm1::SetItemIndex(int index) {
    ComboBox1->setCurrentIndex(index);
}

// --- Status bar --------------------------------------------------------------------

void TForm1::SetPanelText(int panel, std::string_view text) {
    StatusBar1->SetPanelText(panel,
                             QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
}

std::string TForm1::PanelText(int panel) const {
    return StatusBar1->PanelText(panel).toLatin1().toStdString();
}

}  // namespace skimby
