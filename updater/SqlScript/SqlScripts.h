#pragma once

// Registers the resource trees ":/SqlScript/" (the initial schema and the
// version scripts) and ":/SchemaExpectation/" (the schema expected at each
// version). It lives in a static library, whose resources the linker
// leaves out unless something refers to them: call this before the first
// read. Calling it again is harmless.
void initSqlScripts();
