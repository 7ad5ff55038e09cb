#pragma once

// Resource ids of the test executable, shared by its resource script and the tests.
#define EMPTY_PNG_ID 900
#define NOT_AN_IMAGE_ID 901
#define MISSING_ID 999
