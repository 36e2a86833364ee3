// The record builders are all in clean_records.h; this name is kept for
// tests that include it.
#pragma once
#include "support/clean_records.h"
