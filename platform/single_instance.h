#pragma once
// The test for a running copy of the program.
namespace pondex {

class SingleInstance {
 public:
  virtual ~SingleInstance() = default;
  // True when another copy of the program runs already. The first call
  // claims the program for this process for as long as the object lives.
  virtual bool anotherInstanceRunning() = 0;
};

}  // namespace pondex
