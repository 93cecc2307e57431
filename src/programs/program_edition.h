#pragma once

#include "edition/edition_traits.h"

// The edition this program is: each program links the one file that defines it.
const kavelune::EditionTraits& programEdition();
