#include "window/ConfigfrmForm.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <stdexcept>

#include "core/PluginCore.h"
#include "engine/EventType.h"
#include "engine/MessageKind.h"
#include "window/ConfigfrmLayout.h"
#include "window/EntryListWidget.h"
#include "window/Logo.h"
#include "window/modMIDIHelper.h"

namespace notecast {
namespace {

constexpr int kIconSize = 32;
// The layout places its controls in pixels for a dialog font with Arial's metrics (Liberation
// Sans and Arimo have them) 10 pixels high: every caption and fixed list row fits its control
// with a few pixels to spare. A sans font without those metrics (DejaVu Sans, the usual
// fallback) runs about a tenth wider and gets one pixel less. Pixel sizes keep the captions in
// proportion to the controls whatever dots per inch the screen reports.
constexpr int kDialogPixelSize = 10;
constexpr int kFallbackPixelSize = 9;
const char* const kDialogFamilies[] = {"Liberation Sans", "Arimo"};

// The family names are copied to the heap (not QStringLiteral): Qt's process-wide font cache keeps
// them after the host unloads the plug-in, and literal data would go with the plug-in.
QFont dialogFont(QFont font) {
  QStringList preferred;
  for (const char* family : kDialogFamilies) preferred << QString::fromLatin1(family);
  font.setFamilies(preferred + QStringList{font.family()});
  font.setPixelSize(kDialogPixelSize);
  if (!preferred.contains(QFontInfo(font).family(), Qt::CaseInsensitive))
    font.setPixelSize(kFallbackPixelSize);
  return font;
}

QWidget* createControl(const ControlPlace& place, QWidget* parent) {
  const QString text = QString::fromUtf8(place.text);
  switch (place.kind) {
    case ControlKind::Label:
      return new QLabel(text, parent);
    case ControlKind::Text:
      return new QLineEdit(text, parent);
    case ControlKind::Check:
      return new QCheckBox(text, parent);
    case ControlKind::Combo:
      return new QComboBox(parent);  // fixed list: not editable
    case ControlKind::List:
      return new EntryListWidget(parent);
    case ControlKind::Button: {
      auto* button = new QPushButton(text, parent);
      button->setAutoDefault(false);  // no default or cancel button
      return button;
    }
    case ControlKind::Frame:
      return new QGroupBox(text, parent);
    case ControlKind::Picture: {
      auto* picture = new QLabel(parent);
      picture->setPixmap(drawLogo(place.width, place.height));
      picture->setScaledContents(false);
      return picture;
    }
    case ControlKind::Midi: {
      // The MIDI output control has no face; this marks its place among the controls.
      auto* place = new QWidget(parent);
      place->setFocusPolicy(Qt::NoFocus);
      return place;
    }
  }
  return nullptr;
}

}  // namespace

ConfigfrmForm::ConfigfrmForm() {
  setObjectName(kWindowName);
  setWindowTitle(kWindowCaption);
  setWindowIcon(QIcon(drawLogo(kIconSize, kIconSize)));
  setFixedSize(kClientWidth, kClientHeight);
  setFont(dialogFont(font()));

  for (const ControlPlace& place : kConfigfrmControls) {
    QWidget* parent = place.parent ? findChild<QWidget*>(place.parent) : this;
    QWidget* widget = createControl(place, parent);
    widget->setObjectName(place.name);
    widget->setProperty(controls::kControlKindProperty, controlKindName(place.kind));
    widget->setGeometry(place.x, place.y, place.width, place.height);
    if (place.kind == ControlKind::Midi) widget->hide();
  }
  auto* title = control<QLabel>(kTitleLabel);
  QFont bold = title->font();
  bold.setBold(true);
  bold.setPointSizeF(kTitlePointSize);
  title->setFont(bold);

  lastchannellbl = control<QLabel>("lastchannellbl");
  lastvaluelbl = control<QLabel>("lastvaluelbl");
  cmdOK = control<QPushButton>("cmdOK");
  cboMidiOutput = control<QComboBox>("cboMidiOutput");
  cmdSendTestNote = control<QPushButton>("cmdSendTestNote");
  txtDmx = control<QLineEdit>("txtDmx");
  chkShowLine = control<QCheckBox>("chkShowLine");
  chkSendOnlyOnce = control<QCheckBox>("chkSendOnlyOnce");
  txtShareName = control<QLineEdit>("txtShareName");
  cboMIDIMessage = control<QComboBox>("cboMIDIMessage");
  cboMIDIChannel = control<QComboBox>("cboMIDIChannel");
  chkSendNoteOff = control<QCheckBox>("chkSendNoteOff");
  chkShare = control<QCheckBox>("chkShare");
  cboEvent = control<QComboBox>("cboEvent");
  txtMsg = control<QLineEdit>("txtMsg");
  txtData1 = control<QLineEdit>("txtData1");
  txtData2 = control<QLineEdit>("txtData2");
  txtValue = control<QLineEdit>("txtValue");
  lstView = control<EntryListWidget>("lstView");
  cmdNew = control<QPushButton>("cmdNew");
  cmdDelete = control<QPushButton>("cmdDelete");
  // The event file reads a value back cut at this many bytes of Windows-1252, one byte a
  // character (two UTF-16 units of one character are still one byte): a longer name would come
  // back cut. The number boxes keep Qt's limit; their handlers refuse what is out of range.
  txtShareName->setMaxLength(static_cast<int>(PluginCore::kMaxShareNameBytes));

  fillFixedLists();
  setTabOrder();
}

void ConfigfrmForm::closeEvent(QCloseEvent* event) {
  event->ignore();
  if (onCloseRequested) onCloseRequested();
}

template <class Control>
Control* ConfigfrmForm::control(const char* name) const {
  auto* found = findChild<Control*>(QString::fromLatin1(name));
  if (!found) throw std::logic_error(std::string("the window has no control ") + name);
  return found;
}

void ConfigfrmForm::fillFixedLists() {
  // Each kind carries the status value it stands for on MIDI channel 1.
  for (const MessageKind& kind : kMessageKinds)
    cboMIDIMessage->addItem(kind.caption, kind.baseValue);
  for (int channel = 1; channel <= kMidiChannels; ++channel)
    cboMIDIChannel->addItem(QString::number(channel), 0);
  for (const EventTypeTraits& type : kEventTypes) cboEvent->addItem(type.caption, 0);
  // A drop-down selects its first row by itself when filled: at load no row is selected.
  for (QComboBox* combo : {cboMIDIMessage, cboMIDIChannel, cboEvent}) selectComboRow(combo, -1);
}

void ConfigfrmForm::setTabOrder() {
  QWidget* previous = nullptr;
  for (const char* name : kConfigfrmTabOrder) {
    auto* widget = control<QWidget>(name);
    if (previous) QWidget::setTabOrder(previous, widget);
    previous = widget;
  }
}

}  // namespace notecast
