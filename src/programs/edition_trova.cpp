#include "programs/program_edition.h"

const kavelune::EditionTraits& programEdition() { return kavelune::kaveluneTrova(); }
