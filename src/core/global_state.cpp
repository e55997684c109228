#include "global_state.h"

namespace kestrova {

GlobalState Vars;

}  // namespace kestrova
