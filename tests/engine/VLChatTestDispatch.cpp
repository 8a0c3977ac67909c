#include "VLChatTestSupport.h"
