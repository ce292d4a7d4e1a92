// The queue description read by quorrel.
#pragma once

#include <cstdio>
#include <string>

#include "queueing/queue.h"

// Reads rate, lengths, transient values ("eps" marks a value to be set
// later), increments and the customer number. 0, or -1 after a message on
// stderr. has_customer is false when the file ends before the customer.
int Read_Data(FILE* in, orv::qn::SEQUENCE& s, double& lambda, bool& has_customer, int& customer);

// The message for a period whose length is negative, or 0 where the
// analysis needs the sequence to grow (the stationary regime).
void Refuse_Cycle(double cycle);
