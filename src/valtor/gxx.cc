// The archive the generated makefiles link first (-lg++). The law classes
// live in the simulation library itself; this member only names the
// library's version.
extern const char valtor_gxx_version[] = "valtor 1.0";
