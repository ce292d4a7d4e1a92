// Built against each driver's generated table to show the header's two uses
// link together: the arrays in the generated unit, the constants here.
#include "common/resources.h"

#define RESOURCES
#include "resources.h"

int main() {
  const orv::RESOURCE_TABLE& t = orv::The_Resources;
  return t.Nb_Resources == NB_RESOURCES && t.Resource_Name[NB_RESOURCES] == nullptr &&
                 t.Default_Value[NB_RESOURCES] == nullptr
             ? 0
             : 1;
}
