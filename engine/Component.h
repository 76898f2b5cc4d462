// The small object model the engine's components stand on: a polymorphic
// root (`TObject`, the type of every event's sender) and `TComponent`, which
// has an owner, a name and the design-state flag that tells a component it
// is being edited in a form designer rather than running.
#pragma once

#include <string>

namespace engine {

class TObject {
public:
    virtual ~TObject() = default;
};

class TComponent : public TObject {
public:
    explicit TComponent(TComponent* owner = nullptr) : owner_(owner) {}

    TComponent* Owner() const { return owner_; }
    std::string Name;

    // While designing, components store property values but do no work
    // (no file reads, no library calls).
    bool IsDesigning() const { return designing_; }
    void SetDesigning(bool designing) { designing_ = designing; }

private:
    TComponent* owner_;
    bool designing_ = false;
};

}  // namespace engine
