#include "app/main_window.h"

#include <QAction>
#include <QEvent>
#include <QFont>
#include <QGroupBox>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QShortcut>
#include <QShowEvent>
#include <QWindow>
#include <algorithm>
#include <array>

#include "app/accessibility.h"
#include "app/chart_sink.h"
#include "app/message_box.h"
#include "app/platform.h"
#include "app/qt_seams.h"
#include "chart/program_charts.h"
#include "picture/bmp_writer.h"
#include "sim/lattice_summary.h"

namespace vellora::app {
namespace {

// The window font of the description: "MS Sans Serif", 11 pixels (8 points at 96 pixels per
// inch). The application substitutes an installed font with the same metrics.
QFont WindowFont() {
  QFont font(QStringLiteral("MS Sans Serif"));
  font.setPixelSize(11);
  return font;
}

// The read-outs: "Arial", 19 pixels, bold.
QFont ReadoutFont() {
  QFont font(QStringLiteral("Arial"));
  font.setPixelSize(19);
  font.setBold(true);
  return font;
}

template <class Widget>
Widget* Place(Widget* widget, const char* name, int left, int top, int width, int height) {
  widget->setObjectName(QString::fromLatin1(name));
  widget->setGeometry(left, top, width, height);
  return widget;
}

// A label that sizes itself to its caption and never takes the focus.
QLabel* MakeLabel(QWidget* parent, const char* name, int left, int top, const char* caption) {
  auto* label = new QLabel(QString::fromLatin1(caption), parent);
  label->setObjectName(QString::fromLatin1(name));
  label->setTextFormat(Qt::PlainText);
  label->setFocusPolicy(Qt::NoFocus);
  label->move(left, top);
  label->adjustSize();
  return label;
}

}  // namespace

TForm1::TForm1(ErrorDisplay& errors, QWidget* parent)
    : QMainWindow(parent),
      errors_(errors),
      chooseFile_([this](QWidget* owner) { return ChoosePictureFile(SavePictureDialog1, owner); }) {
  InstallAccessibleInterfaces();
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QStringLiteral("Vellora"));
  setFont(WindowFont());

  // The controls sit at fixed positions of the client area; when the window is made smaller
  // than its content, scroll bars appear and nothing moves.
  scrollArea_ = new QScrollArea(this);
  scrollArea_->setObjectName(QStringLiteral("ClientArea"));
  scrollArea_->setFrameShape(QFrame::NoFrame);
  scrollArea_->setFocusPolicy(Qt::NoFocus);
  scrollArea_->setWidgetResizable(false);
  scrollArea_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  scrollArea_->viewport()->setBackgroundRole(QPalette::Window);
  auto* client = new QWidget;
  client->setObjectName(QStringLiteral("Client"));
  client->setFixedSize(kContentWidth, kContentHeight);
  client->setBackgroundRole(QPalette::Window);
  client->setAutoFillBackground(true);
  scrollArea_->setWidget(client);
  setCentralWidget(scrollArea_);

  BuildControls(client);
  BuildMenu();

  Timer1 = new QTimer(this);
  Timer1->setObjectName(QStringLiteral("Timer1"));
  Timer1->setInterval(200);
  Timer1->setSingleShot(false);
  connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });

  BindSeams();
  BindShortcuts();

  // Tab order: the track bar, then the control panel's edits and buttons; the charts, the
  // labels and the group box are no tab stops.
  QWidget::setTabOrder(TrackBar1, Edit1);
  QWidget::setTabOrder(Edit1, Button5);
  QWidget::setTabOrder(Button5, Edit2);
  QWidget::setTabOrder(Edit2, Edit3);
  QWidget::setTabOrder(Edit3, Button8);
  QWidget::setTabOrder(Button8, edJ2);
  // The first tab stop has the focus when the window is first activated.
  TrackBar1->setFocus(Qt::OtherFocusReason);

  PlaceOnScreen();

  FormCreate();
}

TForm1::~TForm1() {
  Timer1->stop();
  // The description reads the controller, which goes before the picture does.
  Image1->describe = nullptr;
}

QRect FitWindowFrame(const QRect& wanted, const QRect& available) {
  const auto fit = [](int wantedStart, int wantedLength, int start, int length, int& outStart,
                      int& outLength) {
    outLength = std::min(wantedLength, length);
    outStart = std::clamp(wantedStart, start, start + length - outLength);
  };
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  fit(wanted.left(), wanted.width(), available.left(), available.width(), left, width);
  fit(wanted.top(), wanted.height(), available.top(), available.height(), top, height);
  return {left, top, width, height};
}

void TForm1::PlaceOnScreen() {
  // The frame is known once the window system has the window; before that it counts as none.
  const QMargins frame = windowHandle() != nullptr ? windowHandle()->frameMargins() : QMargins();
  const QSize client(kClientWidth, kClientHeight + menuBar()->sizeHint().height());
  QRect outer(QPoint(kLeft, kTop), client.grownBy(frame));
  if (const QScreen* where = screen(); where != nullptr)
    outer = FitWindowFrame(outer, where->availableGeometry());
  move(outer.topLeft());
  resize(outer.size().shrunkBy(frame));
}

void TForm1::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (placedWhenShown_ || event->spontaneous()) return;
  placedWhenShown_ = true;
  PlaceOnScreen();
}

void TForm1::BuildControls(QWidget* client) {
  Image1 = Place(new LatticeImage(client), "Image1", 8, 8, 500, 500);

  // The read-outs sit in a row of their own, which screen readers see as the status bar; the
  // row reaches from the first read-out to the client's right and bottom edges, so they can grow.
  Readouts =
      Place(new ReadoutBar(client), "Readouts", 8, 512, kContentWidth - 8, kContentHeight - 512);
  Readouts->setFocusPolicy(Qt::NoFocus);
  const auto makeReadout = [this](const char* name, int left, const char* quantity,
                                  const char* caption) {
    auto* readout = new ReadoutLabel(QString::fromLatin1(quantity), Readouts);
    readout->setObjectName(QString::fromLatin1(name));
    readout->setTextFormat(Qt::PlainText);
    readout->setFocusPolicy(Qt::NoFocus);
    readout->setText(QString::fromLatin1(caption));
    readout->move(left - 8, 0);
    readout->setFont(ReadoutFont());
    readout->adjustSize();
    return readout;
  };
  labEnergy = makeReadout("labEnergy", 8, "Energy per spin", "E =");
  labMag = makeReadout("labMag", 192, "Magnetization per spin", "M =");
  labTemp = makeReadout("labTemp", 512, "Temperature", "T =");

  Chart1 = Place(new chart::ChartWidget(client), "Chart1", 552, 8, chart::kProgramChartWidth,
                 chart::kProgramChartHeight);
  chart::ConfigureMagnetizationChart(Chart1->Chart());

  TrackBar1 = Place(new TrackBar(client), "TrackBar1", 520, 8, 25, 497);
  TrackBar1->setRange(50, 1000);
  TrackBar1->setValue(500);
  TrackBar1->setSingleStep(2);
  TrackBar1->setPageStep(2);
  TrackBar1->setTickInterval(100);
  TrackBar1->setFocusPolicy(Qt::StrongFocus);
  TrackBar1->setAccessibleName(QStringLiteral("Temperature"));
  TrackBar1->setAccessibleDescription(
      QStringLiteral("Sets the temperature T in the T edit, from 0.50 at the top to 10.00 at the "
                     "bottom in steps of 0.02"));

  Chart2 = Place(new chart::ChartWidget(client), "Chart2", 552, 192, chart::kProgramChartWidth,
                 chart::kProgramChartHeight);
  chart::ConfigureEnergyChart(Chart2->Chart());
  for (chart::ChartWidget* chart : {Chart1, Chart2}) {
    chart->setFocusPolicy(Qt::NoFocus);
    chart->onDrawError = [this](const Exception& error) { errors_.Report(error.Message()); };
    chart->onMouseError = [this](const Exception& error) {
      errors_.Report(error.Message(), ErrorSource::kCommand);
    };
    // A press on a chart starts a zoom or a pan: something the user did.
    chart->installEventFilter(this);
  }

  GroupBox1 =
      Place(new GroupBox(QStringLiteral("Control Panel"), client), "GroupBox1", 552, 368, 305, 145);
  GroupBox1->setFocusPolicy(Qt::NoFocus);
  BuildControlPanel();
}

void TForm1::BuildControlPanel() {
  QWidget* panel = GroupBox1;
  Label4 = MakeLabel(panel, "Label4", 15, 18, "Interaction H= - J1*NN - J2*NNN - h*S");

  // Each edit is named after what it holds and is its caption's buddy. The captions have no
  // "&", so the buddy adds no access key and the captions stay as they are.
  const auto makeEdit = [panel](const char* name, int top, const char* text, QLabel* caption,
                                const char* spoken) {
    auto* edit = Place(new ParameterEdit(panel), name, 40, top, 49, 21);
    edit->setText(QString::fromLatin1(text));
    edit->setFocusPolicy(Qt::StrongFocus);
    edit->setAccessibleName(QString::fromLatin1(spoken));
    caption->setBuddy(edit);
    return edit;
  };
  Label1 = MakeLabel(panel, "Label1", 18, 44, "h =");
  Edit2 = makeEdit("Edit2", 36, "0", Label1, "Magnetic field h");
  Label6 = MakeLabel(panel, "Label6", 98, 42, "magnetic field");
  Label3 = MakeLabel(panel, "Label3", 13, 68, "J1 =");
  Edit3 = makeEdit("Edit3", 60, "1", Label3, "Nearest-neighbour coupling J1");
  Label7 = MakeLabel(panel, "Label7", 98, 66, "nearest coupling");
  Label5 = MakeLabel(panel, "Label5", 13, 92, "J2 =");
  edJ2 = makeEdit("edJ2", 84, "0", Label5, "Next-nearest-neighbour coupling J2");
  Label8 = MakeLabel(panel, "Label8", 98, 90, "next-nearest coupl.");
  Label2 = MakeLabel(panel, "Label2", 17, 116, "T =");
  Edit1 = makeEdit("Edit1", 108, "10", Label2, "Temperature T");
  Label9 = MakeLabel(panel, "Label9", 98, 114, "temperature");

  Button5 = Place(new QPushButton(QStringLiteral("Start"), panel), "Button5", 206, 48, 75, 25);
  Button8 = Place(new QPushButton(QStringLiteral("Stop"), panel), "Button8", 206, 80, 75, 25);
  for (QPushButton* button : {Button5, Button8}) {
    button->setFocusPolicy(Qt::StrongFocus);
    // Enter, like Space, clicks the focused button.
    button->setAutoDefault(true);
  }
  Button5->setAccessibleDescription(
      QStringLiteral("Starts the run from the current lattice with empty charts. Shortcut: F5"));
  Button8->setAccessibleDescription(QStringLiteral("Stops the run. Shortcut: Shift+F5"));
}

void TForm1::BindShortcuts() {
  // F5 and Shift+F5 do what a click on Start and on Stop does, the focus moving to the button
  // included, from anywhere in the window; as the focus goes to a button, no edit is entered and
  // the run does not pause on the way.
  const auto press = [this](QPushButton* button, const QKeySequence& keys) {
    auto* shortcut = new QShortcut(keys, this);
    shortcut->setContext(Qt::WindowShortcut);
    connect(shortcut, &QShortcut::activated, this, [button] {
      button->setFocus(Qt::ShortcutFocusReason);
      button->click();
    });
  };
  press(Button5, QKeySequence(Qt::Key_F5));
  press(Button8, QKeySequence(Qt::SHIFT | Qt::Key_F5));
}

void TForm1::BuildMenu() {
  QMenuBar* bar = menuBar();
  bar->setObjectName(QStringLiteral("MainMenu1"));
  File1 = bar->addMenu(QStringLiteral("&File"));
  File1->setObjectName(QStringLiteral("File1"));
  SaveAs1 = File1->addAction(QStringLiteral("Save Image &As..."));
  SaveAs1->setObjectName(QStringLiteral("SaveAs1"));
  N1 = File1->addSeparator();
  N1->setObjectName(QStringLiteral("N1"));
  Exit1 = File1->addAction(QStringLiteral("E&xit"));
  Exit1->setObjectName(QStringLiteral("Exit1"));
  Help1 = bar->addMenu(QStringLiteral("&Help"));
  Help1->setObjectName(QStringLiteral("Help1"));
  About1 = Help1->addAction(QStringLiteral("&About..."));
  About1->setObjectName(QStringLiteral("About1"));
  // No item has a shortcut key; "&" only marks the access keys.
  connect(SaveAs1, &QAction::triggered, this, [this] { SaveAs1Click(); });
  connect(Exit1, &QAction::triggered, this, [this] { Exit1Click(); });
  connect(About1, &QAction::triggered, this, [this] { About1Click(); });
}

void TForm1::BindSeams() {
  pictureSink_ = std::make_unique<ImagePictureSink>(*Image1);
  chart1Sink_ = std::make_unique<TChartSink>(Chart1->Chart());
  chart2Sink_ = std::make_unique<TChartSink>(Chart2->Chart());
  labMagSink_ = std::make_unique<LabelReadout>(*labMag);
  labEnergySink_ = std::make_unique<LabelReadout>(*labEnergy);
  labTempSink_ = std::make_unique<LabelReadout>(*labTemp);
  editTexts_ = std::make_unique<EditTexts>(std::array<QLineEdit*, 4>{Edit1, Edit2, Edit3, edJ2});
  trackBarSource_ = std::make_unique<TrackBarPosition>(*TrackBar1);
  runTimer_ = std::make_unique<QtRunTimer>(*Timer1);
  controller_ = std::make_unique<SimulationController>(
      ControllerSeams{*pictureSink_, *chart1Sink_, *chart2Sink_, *labMagSink_, *labEnergySink_,
                      *labTempSink_, *editTexts_, *trackBarSource_, *runTimer_});

  connect(Button5, &QPushButton::clicked, this, [this] { Button5Click(); });
  connect(Button8, &QPushButton::clicked, this, [this] { Button8Click(); });
  for (ParameterEdit* edit : {Edit1, Edit2, Edit3, edJ2}) {
    edit->onEnter = [this] { Edit3Enter(); };
    // Typing (not the program's setText) counts as the user doing something.
    connect(edit, &QLineEdit::textEdited, this, [this] { errors_.UserActed(); });
  }
  TrackBar1->onChange = [this] { TrackBar1Change(); };
  Image1->describe = [this] {
    return QString::fromStdString(sim::DescribeLattice(controller_->State().lattice));
  };
}

QString TForm1::RefusedEdit(const Exception& error) const {
  // In the order of sim::ParameterEdit, whose value the error carries.
  const std::array<const ParameterEdit*, 4> edits{Edit1, Edit2, Edit3, edJ2};
  const int input = error.Input();
  if (input < 0 || input >= static_cast<int>(edits.size())) return {};
  return QStringLiteral("The text of %1 was refused")
      .arg(edits[static_cast<std::size_t>(input)]->accessibleName());
}

void TForm1::Guarded(const std::function<void()>& handler) {
  RunGuarded(errors_, handler, ErrorSource::kRun,
             [this](const Exception& error) { return RefusedEdit(error); });
}

void TForm1::GuardedCommand(const std::function<void()>& handler) {
  errors_.UserActed();
  RunGuarded(errors_, handler, ErrorSource::kCommand,
             [this](const Exception& error) { return RefusedEdit(error); });
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonPress && (watched == Chart1 || watched == Chart2)) {
    errors_.UserActed();
  }
  return QMainWindow::eventFilter(watched, event);
}

void TForm1::FormCreate() {
  GuardedCommand([this] { controller_->FormCreate(); });
}

void TForm1::Timer1Timer() {
  Guarded([this] { controller_->Timer1Timer(); });
}

void TForm1::Button5Click() {
  GuardedCommand([this] { controller_->Button5Click(); });
}

void TForm1::Button8Click() {
  GuardedCommand([this] { controller_->Button8Click(); });
}

void TForm1::Edit3Enter() {
  GuardedCommand([this] { controller_->Edit3Enter(); });
}

void TForm1::TrackBar1Change() {
  GuardedCommand([this] { controller_->TrackBar1Change(); });
}

void TForm1::SaveAs1Click() {
  GuardedCommand([this] {
    const std::optional<QString> path = chooseFile_(this);
    if (!path) return;
    // The raster exists from start-up on; it is what the picture shows at this moment.
    if (Image1->Surface() == nullptr) controller_->btnDrawClick();
    picture::SaveBitmapFile(*Image1->Surface(), path->toStdString());
    HandOverPicture(*path);
  });
}

void TForm1::Exit1Click() {
  close();
}

void TForm1::About1Click() {
  GuardedCommand([this] {
    ShowModal(new MessageBox(QMessageBox::NoIcon, errors_.Title(), AboutText(), this), [] {});
  });
}

}  // namespace vellora::app
