#include "state/app_state.h"

AppStateRecord AppState;

void ResetAppState() {
    AppState = AppStateRecord{};
}
