// Text and collection classes.
#pragma once
