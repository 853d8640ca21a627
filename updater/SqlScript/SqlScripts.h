#pragma once

// Registers the resource tree ":/SqlScript/" (the initial schema and the
// version scripts). It lives in a static library, whose resources the linker
// leaves out unless something refers to them: call this before the first
// read. Calling it again is harmless.
void initSqlScripts();
