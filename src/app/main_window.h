// The main window TForm1: the lattice picture with the energy and magnetisation read-outs under
// it, the temperature track bar with its read-out, the two strip charts, the control panel and
// the menu. Every handler the window drives is an entry point that shows its errors in the
// error box instead of letting them reach the event loop.
#pragma once

#include <QLabel>
#include <QMainWindow>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>

#include "app/application.h"
#include "app/controller.h"
#include "app/controls.h"
#include "app/lattice_image.h"
#include "app/save_picture_dialog.h"
#include "chart/qt/chart_widget.h"

class QAction;
class QGroupBox;
class QMenu;
class QPushButton;
class QScrollArea;

namespace vellora::app {

class ImagePictureSink;
class TChartSink;
class LabelReadout;
class EditTexts;
class TrackBarPosition;
class QtRunTimer;

// The outer rectangle of a window that wants to open as `wanted` on a screen whose free area is
// `available`: as large as fits, each side at most the area's, and at the wanted place when the
// window fits there, else moved just as far as it must to lie inside the area.
QRect FitWindowFrame(const QRect& wanted, const QRect& available);

class TForm1 : public QMainWindow {
 public:
  // Picks the file to save the picture to; nothing means the user cancelled.
  using FileChooser = std::function<std::optional<QString>(QWidget* parent)>;

  // Where the window's outer top-left corner opens on the screen, when the window fits there.
  static constexpr int kLeft = 83;
  static constexpr int kTop = 91;
  // The area below the menu bar that the window opens with, and the extent of its content
  // (the controls' bounding box with an 8-pixel margin right and below, as on the left and top).
  static constexpr int kClientWidth = 901;
  static constexpr int kClientHeight = 571;
  static constexpr int kContentWidth = 865;
  static constexpr int kContentHeight = 542;

  // Builds the window from its description and runs the start-up sequence. The caption of the
  // About box is the error display's title.
  explicit TForm1(ErrorDisplay& errors, QWidget* parent = nullptr);
  ~TForm1() override;

  // The handlers, each catching and showing its own errors.
  void FormCreate();
  void Timer1Timer();
  void Button5Click();
  void Button8Click();
  void Edit3Enter();
  void TrackBar1Change();
  void SaveAs1Click();
  void Exit1Click();
  void About1Click();

  // Replaces the save dialog (tests choose a file without a modal dialog).
  void SetFileChooser(FileChooser chooser) { chooseFile_ = std::move(chooser); }

  SimulationController& Controller() { return *controller_; }

  // Opens the window at its place with its size, both cut to what fits the available area of
  // its screen, with scroll bars for the content that does not fit. Done when the window is
  // made and again when it is first shown, once its frame is known.
  void PlaceOnScreen();

  // The controls, by the names of the window description.
  LatticeImage* Image1;
  // The row that holds the three read-outs.
  QWidget* Readouts;
  QLabel* labEnergy;
  QLabel* labMag;
  QLabel* labTemp;
  TrackBar* TrackBar1;
  chart::ChartWidget* Chart1;
  chart::ChartWidget* Chart2;
  QGroupBox* GroupBox1;
  QLabel* Label1;
  QLabel* Label2;
  QLabel* Label3;
  QLabel* Label4;
  QLabel* Label5;
  QLabel* Label6;
  QLabel* Label7;
  QLabel* Label8;
  QLabel* Label9;
  ParameterEdit* Edit1;
  ParameterEdit* Edit2;
  ParameterEdit* Edit3;
  ParameterEdit* edJ2;
  QPushButton* Button5;
  QPushButton* Button8;
  QTimer* Timer1;
  QMenu* File1;
  QAction* SaveAs1;
  QAction* N1;
  QAction* Exit1;
  QMenu* Help1;
  QAction* About1;
  SavePictureChooser SavePictureDialog1;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void BuildControls(QWidget* client);
  void BuildControlPanel();
  void BuildMenu();
  void BindSeams();
  void BindShortcuts();
  // The accessible description of an error box: the edit whose text the error refused, if any.
  QString RefusedEdit(const Exception& error) const;
  // Runs a handler of the running simulation (the tick).
  void Guarded(const std::function<void()>& handler);
  // Runs a handler of something the user did: messages the user closed may show again, and an
  // error of it is shown even when a box is open or waiting (after that box).
  void GuardedCommand(const std::function<void()>& handler);
  bool eventFilter(QObject* watched, QEvent* event) override;

  ErrorDisplay& errors_;
  QScrollArea* scrollArea_;
  FileChooser chooseFile_;
  bool placedWhenShown_ = false;

  std::unique_ptr<ImagePictureSink> pictureSink_;
  std::unique_ptr<TChartSink> chart1Sink_;
  std::unique_ptr<TChartSink> chart2Sink_;
  std::unique_ptr<LabelReadout> labMagSink_;
  std::unique_ptr<LabelReadout> labEnergySink_;
  std::unique_ptr<LabelReadout> labTempSink_;
  std::unique_ptr<EditTexts> editTexts_;
  std::unique_ptr<TrackBarPosition> trackBarSource_;
  std::unique_ptr<QtRunTimer> runTimer_;
  std::unique_ptr<SimulationController> controller_;
};

}  // namespace vellora::app
