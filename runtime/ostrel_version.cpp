// The runtime's version text, as its windows and print jobs name it.
extern "C" const char ostrel_version_text[] = "1.11";
