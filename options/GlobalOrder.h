// The order in which the program's own objects of static storage duration
// are built before it starts, and so destroyed, in reverse, after it ends:
// first what the application object may use (the dialog localisation, the
// registered message, the maker's addresses and product names), then the
// application object, then the class registrations, the on-screen keyboard
// and the layered-window helper, and last the preference store. They live in
// several files (the entry point's file holds the application object, the
// option classes hold the store), so the order is given by priorities; all
// of them are built before the other files' objects, none of which they use.
#pragma once

enum GlobalStep {
  kBeforeApplication = 0,
  kApplicationObject = 1,
  kAfterApplication = 2,
  kPreferenceStoreStep = 3,
};

#define OVELIN_BUILT_IN_STEP(step) __attribute__((init_priority(1000 + (step))))
