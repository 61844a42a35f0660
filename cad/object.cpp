#include "cad/value.h"

namespace cad {

Value Object::get(std::wstring_view member, std::initializer_list<Value> args) const {
    return dispatch_->invoke(member, Access::Get, {args.begin(), args.size()});
}

void Object::put(std::wstring_view member, std::initializer_list<Value> argsThenValue) const {
    dispatch_->invoke(member, Access::Put, {argsThenValue.begin(), argsThenValue.size()});
}

Value Object::call(std::wstring_view member, std::initializer_list<Value> args) const {
    return dispatch_->invoke(member, Access::Call, {args.begin(), args.size()});
}

} // namespace cad
