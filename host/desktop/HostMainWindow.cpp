#include "host/desktop/HostMainWindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

#include "abi/RuntimeError.h"
#include "host/desktop/OutputStatusPanel.h"
#include "host/session/EventFileReport.h"
#include "host/session/OutputDetailsReader.h"
#include "host/session/ResultFormat.h"
#include "host/session/SharedCommands.h"

namespace notecast::host {
namespace {

// A selection carries the option's value back to the plug-in; the caption is only shown.
constexpr int kValueRole = Qt::UserRole;
constexpr const char* kNoProject = "no project open";

}  // namespace

HostMainWindow::HostMainWindow(PluginSession& session, QString projectBase,
                               DmxStatusPanel::StatusProvider dmxStatus, QWidget* parent)
    : QMainWindow(parent), session_(session), projectBase_(std::move(projectBase)) {
  // The plug-in's name is relative to the working folder, as a relative base is.
  if (!projectBase_.isEmpty()) {
    const std::string file = eventFileOf(session_, projectBase_.toStdString());
    eventFile_ =
        QDir::toNativeSeparators(QFileInfo(QString::fromStdString(file)).absoluteFilePath());
  }
  setObjectName(kWindowName);
  setWindowTitle(projectBase_.isEmpty()
                     ? tr("Notecast host")
                     : tr("Notecast host - %1").arg(QFileInfo(projectBase_).fileName()));

  auto* central = new QWidget(this);
  central->setObjectName("central");
  auto* column = new QVBoxLayout(central);
  column->addWidget(buildProjectBox());
  dmxPanel_ = new DmxStatusPanel(std::move(dmxStatus), central);
  column->addWidget(dmxPanel_);
  column->addWidget(new OutputStatusPanel([this] { return readOutputStatus(session_); },
                                          session_.gate(), central));
  column->addWidget(buildCommandBox(), 1);
  column->addWidget(buildButtonRow());
  setCentralWidget(central);
  statusBar()->setObjectName("statusBar");
  messages_ = new StatusMessages(statusBar());
  connect(dmxPanel_->chooser(), &DmxInputChooser::chosen, this, &HostMainWindow::dmxInputChosen);
  connect(dmxPanel_->chooser(), &DmxInputChooser::refused, this, [this](const QString& reason) {
    tellFailure(tr("DMX input not changed: %1").arg(reason));
  });

  // Ctrl+Q anywhere in the window, whatever has the focus.
  auto* quitAction = new QAction(tr("Quit"), this);
  quitAction->setObjectName(kQuitActionName);
  quitAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
  quitAction->setShortcutContext(Qt::WindowShortcut);
  connect(quitAction, &QAction::triggered, this, [this] { requestQuit(); });
  addAction(quitAction);

  refreshCommands();
}

QWidget* HostMainWindow::buildProjectBox() {
  auto* box = new QGroupBox(tr("Project"));
  box->setObjectName("projectBox");
  auto* rows = new QFormLayout(box);
  auto* name = new QLabel(box);
  name->setObjectName(kProjectName);
  auto* eventFile = new QLabel(box);
  eventFile->setObjectName(kEventFileName);
  eventFile->setTextInteractionFlags(Qt::TextSelectableByMouse);
  name->setText(projectBase_.isEmpty() ? tr(kNoProject) : QFileInfo(projectBase_).fileName());
  eventFile->setText(eventFile_.isEmpty() ? tr(kNoProject) : eventFile_);
  rows->addRow(tr("Project:"), name);
  rows->addRow(tr("Event file:"), eventFile);
  return box;
}

QWidget* HostMainWindow::buildCommandBox() {
  auto* box = new QGroupBox(tr("Shared commands"));
  box->setObjectName("commandBox");
  auto* column = new QVBoxLayout(box);
  commandList_ = new QListWidget(box);
  commandList_->setObjectName(kCommandListName);
  commandList_->setSelectionMode(QAbstractItemView::SingleSelection);
  column->addWidget(commandList_);

  auto* buttons = new QHBoxLayout;
  auto* refresh = new QPushButton(tr("Refresh"), box);
  refresh->setObjectName(kRefreshButtonName);
  fireButton_ = new QPushButton(tr("Fire"), box);
  fireButton_->setObjectName(kFireButtonName);
  buttons->addWidget(refresh);
  buttons->addStretch();
  buttons->addWidget(fireButton_);
  column->addLayout(buttons);

  connect(refresh, &QPushButton::clicked, this, &HostMainWindow::refreshCommands);
  connect(fireButton_, &QPushButton::clicked, this, &HostMainWindow::fireSelectedCommand);
  // A double click only, not itemActivated: styles that activate on a single click would fire
  // a MIDI event when the user merely picks a row.
  connect(commandList_, &QListWidget::itemDoubleClicked, this, &HostMainWindow::fire);
  connect(commandList_, &QListWidget::itemSelectionChanged, this,
          &HostMainWindow::updateFireButton);
  updateFireButton();
  return box;
}

QWidget* HostMainWindow::buildButtonRow() {
  auto* row = new QWidget;
  row->setObjectName("buttonRow");
  auto* buttons = new QHBoxLayout(row);
  buttons->setContentsMargins(0, 0, 0, 0);
  QPushButton* configureButton = addButton(tr("Configure"), kConfigureButtonName);
  QPushButton* saveButton = addButton(tr("Save"), kSaveButtonName);
  QPushButton* quitButton = addButton(tr("Quit"), kQuitButtonName);
  buttons->addWidget(configureButton);
  buttons->addWidget(saveButton);
  buttons->addStretch();
  buttons->addWidget(quitButton);
  connect(configureButton, &QPushButton::clicked, this, &HostMainWindow::configure);
  connect(saveButton, &QPushButton::clicked, this, &HostMainWindow::save);
  connect(quitButton, &QPushButton::clicked, this, [this] { requestQuit(); });
  return row;
}

QPushButton* HostMainWindow::addButton(const QString& text, const char* objectName) {
  auto* button = new QPushButton(text);
  button->setObjectName(objectName);
  return button;
}

void HostMainWindow::refreshCommands() {
  std::vector<SharedCommand> commands;
  const bool fetched = callPlugin(tr("Refresh"), [&] {
    commands = fetchSharedCommands(*session_.commandServer());
    return S_OK;
  });
  commandList_->clear();
  for (const SharedCommand& command : commands) {
    auto* item = new QListWidgetItem(command.caption, commandList_);
    item->setData(kValueRole, command.value);
  }
  if (fetched) {
    showSuccess(commands.size() == 1 ? tr("1 shared command")
                                     : tr("%1 shared commands").arg(commands.size()));
  }
}

void HostMainWindow::refreshDmxStatus() {
  dmxPanel_->refresh();
}

void HostMainWindow::showDmxInput(DmxStatusPanel::StatusProvider dmxStatus, const QString& source) {
  dmxPanel_->showInput(std::move(dmxStatus), source);
}

void HostMainWindow::configure() {
  VARIANT_BOOL answer = VARIANT_FALSE;
  if (callPlugin(tr("Configure"), [&] { return session_.plugin().Configure(&answer); }))
    showSuccess(tr("Configuration window shown"));
}

void HostMainWindow::save() {
  const bool saved = callPlugin(
      tr("Save"), [&] { return session_.windowAs<lumo::ILumoTool>()->SaveProjectData(); });
  if (saved) showSuccess(tr("Saved %1").arg(eventFile_));
}

void HostMainWindow::fireSelectedCommand() {
  const QList<QListWidgetItem*> selected = commandList_->selectedItems();
  if (!selected.isEmpty()) fire(selected.front());
}

void HostMainWindow::fire(QListWidgetItem* item) {
  const QString caption = item->text();
  const QString value = item->data(kValueRole).toString();
  const bool fired = callPlugin(tr("Fire \"%1\"").arg(caption), [&] {
    fireSharedCommand(*session_.commandServer(), value);
    return S_OK;
  });
  if (fired) showSuccess(tr("Fired \"%1\"").arg(caption));
}

bool HostMainWindow::requestQuit() {
  if (askingToSave_) return false;
  if (!quitApproved_) {
    askingToSave_ = true;
    VARIANT_BOOL cancelled = VARIANT_FALSE;
    const bool asked = callPlugin(tr("Quit"), [&] {
      return session_.windowAs<lumo::ILumoTool>()->AskToSaveProjectData(&cancelled);
    });
    askingToSave_ = false;
    if (!asked) return false;
    if (cancelled != VARIANT_FALSE) {
      showSuccess(tr("Quit cancelled"));
      return false;
    }
    quitApproved_ = true;
  }
  emit quitRequested();
  return true;
}

void HostMainWindow::closeEvent(QCloseEvent* event) {
  // After an approved quit the receiver's own close goes through without a second question.
  event->setAccepted(quitApproved_ || requestQuit());
}

bool HostMainWindow::callPlugin(const QString& action, const std::function<HRESULT()>& call) {
  if (session_.gate().busy()) {
    tellFailure(tr("%1 must wait: the plug-in is busy with another call").arg(action));
    return false;
  }
  HRESULT result = S_OK;
  QString reason;
  {
    const PluginGate::Call inPlugin(session_.gate());  // DMX changes wait until it is over
    try {
      result = call();
    } catch (const FailedResult& failure) {
      result = failure.result();
    } catch (const RuntimeError& failure) {
      result = failure.result();
    } catch (const std::exception& failure) {
      reason = QString::fromStdString(failure.what());
    }
    // In the plug-in's own words where it gives them ("cannot save ...: permission denied"),
    // asked right after the call that failed.
    if (FAILED(result)) reason = QString::fromStdString(explainPluginFailure(session_, result));
  }
  if (reason.isEmpty()) return true;
  tellFailure(tr("%1 failed: %2").arg(action, reason));
  return false;
}

void HostMainWindow::showSuccess(const QString& text) {
  messages_->show(text, kSuccessMessageMs);
}

void HostMainWindow::showFailure(const QString& text) {
  messages_->show(text);
}

void HostMainWindow::tellFailure(const QString& text) {
  showFailure(text);
  if (report_) report_(text.toStdString());
}

void HostMainWindow::updateFireButton() {
  fireButton_->setEnabled(!commandList_->selectedItems().isEmpty());
}

}  // namespace notecast::host
