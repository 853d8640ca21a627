#include "DBRecord.h"

DBRecord::DBRecord() = default;

DBRecord::~DBRecord() = default;
