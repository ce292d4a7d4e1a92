// Stand-in: a constant law object.
#ifndef ORV_STANDIN_CST_HH
#define ORV_STANDIN_CST_HH
class Cst {
 public:
  explicit Cst(double) {}
};
// The law of a source that draws 0 every time.
static Cst* const Zero = 0;
#endif
