#pragma once

#include <new>

#include "solver/Session.h"

// Starts a new session where session is, for the windows that hold it. A
// Workspace is never assigned over (only its operations write it), so the old
// session ends and the new one is made in its place.
inline void RenewSession(kav::Session& session, kav::Prompts& prompts) {
    session.~Session();
    new (&session) kav::Session(prompts);
}
