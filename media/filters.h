#pragma once
// The filter graph dialog: the graph's filters (newest enumeration last, so
// shown first), their property sheets and the way to the decoder benchmark.
#include "media/escdialog.h"
#include "platform/media/dshow.h"

class QCheckBox;
class QListWidget;
class QPushButton;
class TDirectShowHelper;
class TPlayHost;

class TfrFilters : public TEscDialog {
  Q_OBJECT
 public:
  TfrFilters(TDirectShowHelper& engine, TPlayHost& host, QWidget* parent = nullptr);

  // Reads the graph: version into the caption, filter names into the list.
  void Fill();
  // The last filter in enumeration order whose name is `name`, or none.
  ComPtr<IBaseFilter> FindFilter(const QString& name);
  void ListClick();
  void ShowProperties();
  void RunBenchmark();

  QListWidget* lbFilters;
  QPushButton* sbFilterProps;
  QPushButton* sbPerformance;
  QCheckBox* cbStopBeforeProps;

 private:
  TDirectShowHelper& engine_;
  TPlayHost& host_;
};
