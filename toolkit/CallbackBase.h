// The root of everything that is called back.
#pragma once

// Root of every object that is called back: window messages, button clicks and
// browser events all reach a (target object, member operation) pair.
class CallbackBase {
public:
    virtual ~CallbackBase() = default;
};
