#include "shell/app_state.h"

namespace velmora::shell {

AppState& App() {
  static AppState state;
  return state;
}

}  // namespace velmora::shell
