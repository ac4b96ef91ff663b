#include "engine/EventTable.h"

#include "abi/RuntimeError.h"

namespace notecast {

std::int32_t EventTable::GetEventCount() const {
  if (!dimensioned_) throw RuntimeError(ErrorNumber::SubscriptOutOfRange);
  return size() - 1;
}

Variant EventTable::GetShareName(std::int32_t index) const {
  const MidiEvent& event = record(index);
  return Variant::fromString(event.Share != 0 ? event.ShareName : std::string());
}

const MidiEvent& EventTable::record(std::int32_t index) const {
  checkIndex(index);
  return records_[static_cast<std::size_t>(index)];
}

bool EventTable::onceAbove(std::int32_t index) const {
  checkIndex(index);
  return once_[static_cast<std::size_t>(index)].above;
}

bool EventTable::onceBelow(std::int32_t index) const {
  checkIndex(index);
  return once_[static_cast<std::size_t>(index)].below;
}

void EventTable::assign(std::vector<MidiEvent> records) {
  if (records.empty()) records.push_back(MidiEvent::blank());
  if (records.size() > static_cast<std::size_t>(kMaxRecords)) records.resize(kMaxRecords);
  records_ = std::move(records);
  once_.assign(records_.size(), OnceFlags{});
  dimensioned_ = true;
  ++changeCount_;
}

void EventTable::reset() {
  assign({MidiEvent::blank()});
}

bool EventTable::append(const MidiEvent& record) {
  if (size() >= kMaxRecords) return false;
  records_.push_back(record);
  once_.push_back(OnceFlags{});
  dimensioned_ = true;
  ++changeCount_;
  return true;
}

void EventTable::remove(std::int32_t index) {
  checkIndex(index);
  if (size() == 1) {
    reset();
    return;
  }
  records_.erase(records_.begin() + index);
  once_.erase(once_.begin() + index);
  ++changeCount_;
}

void EventTable::setField(std::int32_t index, MidiEventField field, std::int32_t value) {
  checkIndex(index);
  std::int32_t& stored = records_[static_cast<std::size_t>(index)].*memberOf(field);
  if (stored == value) return;  // storing back what is shown changes nothing
  stored = value;
  ++changeCount_;
}

void EventTable::setShareName(std::int32_t index, const std::string& name) {
  checkIndex(index);
  std::string& stored = records_[static_cast<std::size_t>(index)].ShareName;
  if (stored == name) return;
  stored = name;
  ++changeCount_;
}

// The once flags are run-time state, not configuration: they do not count as changes.
void EventTable::setOnceAbove(std::int32_t index, bool set) {
  checkIndex(index);
  once_[static_cast<std::size_t>(index)].above = set;
}

void EventTable::setOnceBelow(std::int32_t index, bool set) {
  checkIndex(index);
  once_[static_cast<std::size_t>(index)].below = set;
}

void EventTable::checkIndex(std::int32_t index) const {
  if (index < 0 || index >= size()) throw RuntimeError(ErrorNumber::SubscriptOutOfRange);
}

}  // namespace notecast
