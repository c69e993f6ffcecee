#include "tests/support/rig/source_answers.h"

namespace pellix {

namespace {

class TrueWithNullPayload final : public PullAnswer {
 public:
  bool answer(Tessel::Variant& value) const override {
    value.setPointer(Tessel::VariantType::ObjectPtr, nullptr);
    return true;
  }
};

class False final : public PullAnswer {
 public:
  bool answer(Tessel::Variant&) const override { return false; }
};

}  // namespace

void SetSourceAnswer(SourcePort& port, SourceAnswer answer) {
  static const TrueWithNullPayload kTrueWithNullPayload;
  static const False kFalse;
  switch (answer) {
    case SourceAnswer::Frames:
      port.setPullAnswer(nullptr);
      return;
    case SourceAnswer::TrueWithNullPayload:
      port.setPullAnswer(&kTrueWithNullPayload);
      return;
    case SourceAnswer::False:
      port.setPullAnswer(&kFalse);
      return;
  }
}

}  // namespace pellix
