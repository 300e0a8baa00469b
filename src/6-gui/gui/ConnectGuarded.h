#pragma once

#include <QObject>
#include <type_traits>
#include <utility>

#include "gui/WindowRules.h"
#include "workspace/Prompts.h"

// Connects a window's handler to a signal so that it runs inside
// kav::GuardHandler: an error that escapes the handler is shown in the
// standard error report and the program goes on. The handler is a member
// function of receiver or a callable, either without arguments (the signal's
// arguments are not passed on); it is disconnected with receiver. A button's
// handler does not run while the button's window is hidden. The report goes
// through prompts, which must outlive receiver.
template <class Sender, class Signal, class Receiver, class Handler>
QMetaObject::Connection ConnectGuarded(kav::Prompts& prompts, Sender* sender, Signal signal,
                                       Receiver* receiver, Handler handler) {
    return QObject::connect(sender, signal, receiver, [&prompts, sender, receiver, handler] {
        if (ClickOfHiddenWindow(sender))
            return;
        kav::GuardHandler(prompts, [&] {
            if constexpr (std::is_member_function_pointer_v<Handler>) {
                (receiver->*handler)();
            } else {
                (void)receiver;
                handler();
            }
        });
    });
}
