// How screen readers see the program's own controls: the track bar speaks the temperature and
// takes one from an assistive tool as if the user had scrolled, the read-outs say what they
// measure, and the picture and the charts describe what they show when asked, so nothing is
// computed for a listener while none is asking.
#pragma once

#include <QLabel>
#include <QString>
#include <QWidget>

namespace vellora::app {

// Installs, once, the factory of the interfaces below. Call it before the controls exist: the
// toolkit keeps the first interface it made for a control.
void InstallAccessibleInterfaces();

// A read-out whose accessible name is the quantity followed by the number of its text: with the
// quantity "Energy per spin", "E=-1.31" reads "Energy per spin -1.31" and "E =" just the quantity.
class ReadoutLabel : public QLabel {
 public:
  ReadoutLabel(QString quantity, QWidget* parent);
  QString SpokenName() const;

 private:
  QString quantity_;
};

// The row of read-outs; a screen reader sees it as the window's status bar.
class ReadoutBar : public QWidget {
 public:
  static constexpr const char* kName = "Read-outs";
  using QWidget::QWidget;
};

}  // namespace vellora::app
