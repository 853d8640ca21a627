#include "IEncryption.h"

// Defined here so that the interface's virtual table and type information
// live in the library, once.
IEncryption::~IEncryption() = default;
