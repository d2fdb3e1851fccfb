// Placeholder so a module without sources still forms a library.
namespace { int gEmptyModule; }
