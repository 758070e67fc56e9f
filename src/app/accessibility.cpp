#include "app/accessibility.h"

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QAccessibleWidget>
#include <algorithm>
#include <cmath>
#include <functional>

#include "app/controls.h"
#include "app/lattice_image.h"
#include "chart/chart_summary.h"
#include "chart/qt/chart_widget.h"

namespace vellora::app {
namespace {

// The track bar's position is the temperature times 100.
constexpr int kPositionsPerKelvin = 100;

QString Temperature(int position) {
  return QStringLiteral("%1.%2")
      .arg(position / kPositionsPerKelvin)
      .arg(position % kPositionsPerKelvin, 2, 10, QLatin1Char('0'));
}

// The slider as a temperature from 0.50 to 10.00: its value, its text and what an assistive
// tool sets go through the temperature, never the raw position.
class TrackBarAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
 public:
  explicit TrackBarAccessible(TrackBar* bar) : QAccessibleWidget(bar, QAccessible::Slider) {}

  void* interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::ValueInterface) return static_cast<QAccessibleValueInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
  }

  QString text(QAccessible::Text which) const override {
    if (which == QAccessible::Value) return Temperature(Bar()->Position());
    return QAccessibleWidget::text(which);
  }

  QVariant currentValue() const override { return Kelvin(Bar()->Position()); }
  QVariant maximumValue() const override { return Kelvin(Bar()->maximum()); }
  QVariant minimumValue() const override { return Kelvin(Bar()->minimum()); }
  QVariant minimumStepSize() const override { return Kelvin(Bar()->singleStep()); }

  void setCurrentValue(const QVariant& value) override {
    bool ok = false;
    const double kelvin = value.toDouble(&ok);
    if (!ok || std::isnan(kelvin)) return;
    const double position =
        std::clamp(std::round(kelvin * kPositionsPerKelvin), static_cast<double>(Bar()->minimum()),
                   static_cast<double>(Bar()->maximum()));
    Bar()->MoveAsUser(static_cast<int>(position));
  }

 private:
  static double Kelvin(int position) { return static_cast<double>(position) / kPositionsPerKelvin; }
  TrackBar* Bar() const { return static_cast<TrackBar*>(widget()); }
};

class ReadoutAccessible : public QAccessibleWidget {
 public:
  explicit ReadoutAccessible(ReadoutLabel* label)
      : QAccessibleWidget(label, QAccessible::StaticText) {}

  QString text(QAccessible::Text which) const override {
    if (which == QAccessible::Name) return static_cast<ReadoutLabel*>(widget())->SpokenName();
    return QAccessibleWidget::text(which);
  }
};

// A control whose name and description are computed each time a listener asks.
class DescribedAccessible : public QAccessibleWidget {
 public:
  DescribedAccessible(QWidget* widget, QAccessible::Role role, std::function<QString()> name,
                      std::function<QString()> description)
      : QAccessibleWidget(widget, role),
        name_(std::move(name)),
        description_(std::move(description)) {}

  QString text(QAccessible::Text which) const override {
    if (which == QAccessible::Name) return name_();
    if (which == QAccessible::Description) return description_();
    return QAccessibleWidget::text(which);
  }

 private:
  std::function<QString()> name_;
  std::function<QString()> description_;
};

QAccessibleInterface* ProgramInterfaces(const QString& /*className*/, QObject* object) {
  if (auto* bar = dynamic_cast<TrackBar*>(object)) return new TrackBarAccessible(bar);
  if (auto* readout = dynamic_cast<ReadoutLabel*>(object)) return new ReadoutAccessible(readout);
  if (auto* row = dynamic_cast<ReadoutBar*>(object)) {
    return new QAccessibleWidget(row, QAccessible::StatusBar,
                                 QString::fromLatin1(ReadoutBar::kName));
  }
  if (auto* image = dynamic_cast<LatticeImage*>(object)) {
    return new DescribedAccessible(
        image, QAccessible::Graphic,
        [] { return QStringLiteral("Lattice of %1 by %1 spins").arg(sim::kLatticeSide); },
        [image] { return image->describe ? image->describe() : QString(); });
  }
  if (auto* chart = dynamic_cast<chart::ChartWidget*>(object)) {
    return new DescribedAccessible(
        chart, QAccessible::Chart,
        [chart] { return QString::fromStdString(chart::ChartTitleText(chart->Chart())); },
        [chart] { return QString::fromStdString(chart::DescribeChart(chart->Chart())); });
  }
  return nullptr;
}

}  // namespace

void InstallAccessibleInterfaces() {
  static const bool installed = [] {
    QAccessible::installFactory(ProgramInterfaces);
    return true;
  }();
  static_cast<void>(installed);
}

ReadoutLabel::ReadoutLabel(QString quantity, QWidget* parent)
    : QLabel(parent), quantity_(std::move(quantity)) {}

QString ReadoutLabel::SpokenName() const {
  const QString shown = text();
  const QString number = shown.mid(shown.indexOf(QLatin1Char('=')) + 1).trimmed();
  return number.isEmpty() ? quantity_ : quantity_ + QLatin1Char(' ') + number;
}

}  // namespace vellora::app
