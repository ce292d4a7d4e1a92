#include "common/petri_net.h"

namespace orv::pn {

AddressPtr New_Address(char type, int number, AddressPtr next) {
  auto a = std::make_unique<ADDRESS>();
  a->Type = type;
  a->Number = number;
  a->Next = std::move(next);
  return a;
}

AddressPtr Copy_Address(const ADDRESS* a) {
  if (!a) return nullptr;
  return New_Address(a->Type, a->Number, Copy_Address(a->Next.get()));
}

}  // namespace orv::pn
