// Compiled with one layer's include path: OWN is a header of that layer and
// must be found; PLANTED is a header of a layer above and must not be.
#include OWN
#include PLANTED
