#include "core/KestrelState.h"

#include "runtime/Error.h"

namespace tamarind {

KestrelState::KestrelState(platform::Toolkit& toolkit, platform::UserControl& surfaceWindow)
    : tk(toolkit), surface(surfaceWindow) {}

void KestrelState::SetSubItemClicked(int32_t value) {
  if (!surface.Ambient().UserMode) Raise(err::SetNotPermitted, "Kestrel");
  m_SubItemClicked = value;
  surface.PropertyChanged("SubItemClicked");
}

}  // namespace tamarind
