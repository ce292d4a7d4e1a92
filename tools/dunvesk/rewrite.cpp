#include <cmath>
#include <memory>

#include "common/law.h"
#include "dunvesk.h"

namespace dunvesk {

namespace {

orv::LawPtr zero_constant() {
  orv::LawPtr law = orv::New_Law();
  law->Name = 'C';
  return law;
}

// False when the law has no finite mean; a missing law stays missing.
bool to_constant(orv::LAW_DESC* law) {
  if (law == nullptr) return true;
  const double m = orv::Mean(*law);
  if (!std::isfinite(m)) return false;
  law->Name = 'C';
  law->Parameters.assign(1, m);
  law->Law_Parameters.clear();
  return true;
}

}  // namespace

int Is_Recycled_Transition(const EventGraph& Reseau, int i) {
  if (i < 0 || static_cast<size_t>(i) >= Reseau.T.size() || !Reseau.T[static_cast<size_t>(i)])
    return 0;
  for (const PLACE_DESC* p : Reseau.T[static_cast<size_t>(i)]->Outputs)
    if (p->Trans_Id == i + 1 && p->Init_Pop == 1) return 1;
  return 0;
}

int Is_Recycled_Network(const EventGraph& Reseau) {
  for (int i = 0; i < Reseau.Size; ++i)
    if (!Is_Recycled_Transition(Reseau, i)) return 0;
  return 1;
}

void Attach_To_Outputs(TRANS_DESC& Transition, PLACE_DESC& Place) {
  // Outputs are kept last-written first (the writer prints them from the
  // back): a place attached after the others is written before them.
  Transition.Outputs.push_back(&Place);
  ++Transition.Outdegree;
  Place.Input_Id = Transition.Trans_Id;
}

std::unique_ptr<PLACE_DESC> Create_Dummy_Place(TRANS_DESC& Transition, int Dest, double Lag) {
  auto p = std::make_unique<PLACE_DESC>();
  p->Trans_Id = Dest;
  p->Name = "Dummy_Place";
  p->Place_Law = zero_constant();
  p->Init_Pop = 1;
  p->Lag_Times.assign(1, Lag);
  Attach_To_Outputs(Transition, *p);
  return p;
}

PLACE_DESC* Store_Place(EventGraph& Reseau, std::unique_ptr<PLACE_DESC> Place) {
  Place->Place_Id = static_cast<int>(Reseau.P.size());
  Reseau.P.push_back(std::move(Place));
  Reseau.Nb_Places = static_cast<int>(Reseau.P.size());
  return Reseau.P.back().get();
}

void Recycle_EG(EventGraph& Reseau) {
  for (int i = 0; i < Reseau.Size; ++i) {
    TRANS_DESC* t = Reseau.T[static_cast<size_t>(i)].get();
    if (t == nullptr || Is_Recycled_Transition(Reseau, i)) continue;
    Store_Place(Reseau, Create_Dummy_Place(*t, i + 1, 0.0));
  }
}

bool Determinize_EG(EventGraph& Reseau, const char* prog) {
  for (int i = 0; i < Reseau.Size; ++i) {
    TRANS_DESC* t = Reseau.T[static_cast<size_t>(i)].get();
    if (t == nullptr) continue;
    if (!to_constant(t->Trans_Law.get())) {
      std::fprintf(stderr, "%s: error: the law of transition %d has no finite mean. No translation.\n",
                   prog, i + 1);
      return false;
    }
    for (PLACE_DESC* p : t->Outputs) {
      if (!to_constant(p->Place_Law.get())) {
        std::fprintf(stderr,
                     "%s: error: the law of the place from transition %d to transition %d has no "
                     "finite mean. No translation.\n",
                     prog, i + 1, p->Trans_Id);
        return false;
      }
    }
  }
  return true;
}

}  // namespace dunvesk
