// Stand-in: a constant law object.
#ifndef ORV_STANDIN_CST_HH
#define ORV_STANDIN_CST_HH
class Cst {
 public:
  explicit Cst(double) {}
};
#endif
