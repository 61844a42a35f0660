#pragma once

#include "standin/model.h"

#include <windows.h>
#include <oleauto.h>

#include <functional>

// The model's values as automation carries them, both ways.
namespace standin {

// A client's argument as the model takes it; DISP_E_TYPEMISMATCH for a kind it has no use for.
HRESULT toValue(const VARIANT &in, Value &out);

// Objects an answer hands out, made on demand and referenced once.
enum class Made { Document, Stranger, StrangerWithoutDispatch };

// The model's answer; an odd one (a fault's override) becomes a value of its kind.
HRESULT toVariant(const Value &value, VARIANT &out, const std::function<IUnknown *(Made)> &make);

} // namespace standin
