// The component's two ports. Each holds only its owner; every message reads
// or changes the owner's connection state.
#pragma once

#include <cstdint>

#include "component/color_transform.h"

class PellixColorTransform::Input final : public Tessel::PortInterface {
 public:
  explicit Input(PellixColorTransform* owner) : owner(owner) {}

  bool query(uint32_t code, Tessel::Variant* value) override;
  bool notify(uint32_t code, Tessel::Variant* value) override;
  bool request(uint32_t code, Tessel::Variant* value) override;
  bool configure(uint32_t code, Tessel::Variant* value) override;

 private:
  PellixColorTransform* owner;
};

class PellixColorTransform::Output final : public Tessel::PortInterface {
 public:
  explicit Output(PellixColorTransform* owner) : owner(owner) {}

  bool query(uint32_t code, Tessel::Variant* value) override;
  bool notify(uint32_t code, Tessel::Variant* value) override;
  bool request(uint32_t code, Tessel::Variant* value) override;
  bool configure(uint32_t code, Tessel::Variant* value) override;

 private:
  bool connect(Tessel::Variant* value);
  bool pullFrame(Tessel::Variant* value);

  PellixColorTransform* owner;
};
