// Replaced as the library gains its sources.
namespace {}
