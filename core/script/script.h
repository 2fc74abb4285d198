#pragma once
// Scripts that describe an unknown binary string layout.
