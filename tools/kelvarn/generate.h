// The C simulator kelvarn writes for a Bernoulli product.
#pragma once

#include <cstdio>

#include "maxplus/bernoulli.h"

// The generated simulator keeps the matrices in their order.
void sort_probas(orv::mp::BERNOULLI_PRODUCT& P);

// The whole program: `steps` products per replication, `replicates`
// replications, unless its own "-nevt" / "-nrep" say otherwise.
void gen_c_code(FILE* out, const orv::mp::BERNOULLI_PRODUCT& P, int steps, int replicates);
