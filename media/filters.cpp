#include "media/filters.h"

#include <QCheckBox>
#include <QListWidget>
#include <QPushButton>

#include "media/DShowHlp.h"
#include "media/perf.h"
#include "media/playhost.h"

namespace {
const char* const kCaption = "Filter Graph";
const char* const kVersionCaption = "FilterGraph GV:";
const char* const kProperties = "Свойства";
const char* const kPerformance = "Тест видео-декодера";
const char* const kStopBefore = "Останавливать перед изменением";
}  // namespace

TfrFilters::TfrFilters(TDirectShowHelper& engine, TPlayHost& host, QWidget* parent)
    : TEscDialog(parent), engine_(engine), host_(host) {
  setObjectName("frFilters");
  setWindowTitle(QString::fromUtf8(kCaption));
  setFixedSize(340, 268);
  setStyleSheet("TfrFilters { background: black; } QCheckBox { color: white; }");
  lbFilters = new QListWidget(this);
  lbFilters->setGeometry(0, 0, 340, 200);
  lbFilters->setStyleSheet("QListWidget { background: black; color: aqua; }");
  sbFilterProps = new QPushButton(QString::fromUtf8(kProperties), this);
  sbFilterProps->setGeometry(4, 206, 120, 25);
  sbFilterProps->setEnabled(false);
  sbPerformance = new QPushButton(QString::fromUtf8(kPerformance), this);
  sbPerformance->setGeometry(130, 206, 206, 25);
  cbStopBeforeProps = new QCheckBox(QString::fromUtf8(kStopBefore), this);
  cbStopBeforeProps->setGeometry(4, 238, 332, 22);
  connect(lbFilters, &QListWidget::currentRowChanged, this, [this] { ListClick(); });
  connect(lbFilters, &QListWidget::itemDoubleClicked, this, [this] {
    if (sbFilterProps->isEnabled()) ShowProperties();
  });
  connect(sbFilterProps, &QPushButton::clicked, this, &TfrFilters::ShowProperties);
  connect(sbPerformance, &QPushButton::clicked, this, &TfrFilters::RunBenchmark);
}

void TfrFilters::Fill() {
  ComPtr<IGraphVersion> version;
  engine_.Check(QueryInterface(engine_.Graph, version), "Graph.QueryInterface(IID_IGraphVersion)");
  long v = 0;
  engine_.Check(version ? version->QueryVersion(v) : E_POINTER, "GV.QueryVersion");
  setWindowTitle(QString::fromUtf8(kVersionCaption) + QString::number(v));
  lbFilters->clear();
  ComPtr<IEnumFilters> filters;
  engine_.Check(engine_.Graph ? engine_.Graph->EnumFilters(filters) : E_POINTER, "Graph.EnumFilters");
  ComPtr<IBaseFilter> f;
  while (filters && filters->Next(f) == S_OK) lbFilters->insertItem(0, engine_.GetFilterName(f));
  if (lbFilters->count() > 0) {
    lbFilters->setCurrentRow(0);
    ListClick();
  }
}

ComPtr<IBaseFilter> TfrFilters::FindFilter(const QString& name) {
  ComPtr<IEnumFilters> filters;
  engine_.Check(engine_.Graph ? engine_.Graph->EnumFilters(filters) : E_POINTER, "Graph.EnumFilters");
  ComPtr<IBaseFilter> f, found;
  while (filters && filters->Next(f) == S_OK)
    if (engine_.GetFilterName(f) == name) found = f;
  return found;
}

void TfrFilters::ListClick() {
  sbFilterProps->setEnabled(false);
  QListWidgetItem* item = lbFilters->currentItem();
  if (!item) return;
  if (ComPtr<IBaseFilter> f = FindFilter(item->text())) sbFilterProps->setEnabled(engine_.HasPropertyPages(f));
}

void TfrFilters::ShowProperties() {
  QListWidgetItem* item = lbFilters->currentItem();
  if (!item) return;
  if (cbStopBeforeProps->isChecked())
    engine_.Check(engine_.MediaControl ? engine_.MediaControl->Stop() : E_POINTER, "MediaControl.Stop");
  if (ComPtr<IBaseFilter> f = FindFilter(item->text())) engine_.ShowFilterProperties(f);
  raise();
  activateWindow();
  host_.RestorePlayState();
  close();
}

void TfrFilters::RunBenchmark() {
  hide();
  {
    TfrPerfTest perf(engine_, host_, parentWidget());
    perf.exec();
  }
  close();
}
