#pragma once

#include "tests/support/SimProcess.h"
#include "ui/ApplicationErrors.h"
#include "ui/K4410R_Monitor.h"
#include "ui/TestUnit.h"
#include "ui/VM806D_LX_Monitor.h"

#include <QLineEdit>

#include <memory>
#include <string>
#include <vector>

// The three windows created, wired and destroyed in the program's order,
// with every error the top-level handler receives collected.
class TMonitorRig {
public:
  TMonitorRig()
      : Form1(std::make_unique<TForm1>()),
        Values(std::make_unique<TTestVM806D_LX_MonitorForm>(*Form1)),
        Panel(std::make_unique<TK4410R_MonitorForm>(*Form1)) {
    SetErrorPresenter([this](const std::string& message) { Errors.push_back(message); });
    Form1->SetMonitorForms(Panel.get(), Values.get());
    // As the program does: a layout that fails to load is reported.
    Guarded([this] { Panel->FormCreate(); });
  }

  ~TMonitorRig() {
    Shutdown();
    SetErrorPresenter({});
  }

  TMonitorRig(const TMonitorRig&) = delete;
  TMonitorRig& operator=(const TMonitorRig&) = delete;

  // The panel monitor's destruction step writes its layout.
  void DestroyPanelMonitor() { Panel.reset(); }

  // Three panels polling p.v over a port open on the simulator.
  TK4410R_MonitorForm& ThreePanelsPolling(const SimProcess& sim) {
    Panel->AddPanel();
    Panel->AddPanel();
    for (QLineEdit* edit : Panel->Editors)
      edit->setText("p.v");
    Form1->Line.Open(sim.PortName(), sim.DevicePath(), false);
    return *Panel;
  }

  void Shutdown() {
    Panel.reset();
    if (Form1)
      Form1->SetMonitorForms(nullptr, nullptr);
    Values.reset();
    Form1.reset();
  }

  std::unique_ptr<TForm1> Form1;
  std::unique_ptr<TTestVM806D_LX_MonitorForm> Values;
  std::unique_ptr<TK4410R_MonitorForm> Panel;
  std::vector<std::string> Errors;
};
