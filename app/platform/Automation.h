// Late-bound automation: objects of another program reached by member name (name lookup,
// then invoke), made from a program identifier or found as its active object, and their
// connection points, to which the program's own event sink is connected. The win32
// backend goes through IDispatch; the headless backend offers a scripted presentation
// program. A failing call raises EAutomationError with the server's text.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace platform {

class EAutomationError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class IAutomationObject;
using AutomationObject = std::shared_ptr<IAutomationObject>;

// One value crossing an automation call: an argument in one of the kinds the program
// passes, or a result. A result handed on as an argument goes back exactly as it came.
class AutoValue {
 public:
  enum class Kind { Empty, Integer, Float, String, StringRef, Object };
  AutoValue() = default;
  static AutoValue Integer(std::int32_t value);
  static AutoValue Float(double value);
  static AutoValue String(std::string value);
  static AutoValue StringRef(std::string value);  // passed by reference
  static AutoValue Object(AutomationObject value);
  // A result read as one of the kinds, keeping the backend's own value to pass back.
  AutoValue WithNative(std::shared_ptr<void> native) const;

  Kind GetKind() const { return kind_; }
  std::int32_t IntegerValue() const { return integer_; }
  double FloatValue() const { return float_; }
  const std::string& Text() const { return text_; }
  const std::shared_ptr<void>& Native() const { return native_; }
  // The object a value names; fails when it names none.
  AutomationObject AsObject() const;
  // The value as a whole number (a text is read as one, a fraction rounded); fails when
  // it is none.
  std::int32_t AsInteger() const;

 private:
  Kind kind_ = Kind::Empty;
  std::int32_t integer_ = 0;
  double float_ = 0;
  std::string text_;
  AutomationObject object_;
  std::shared_ptr<void> native_;
};

enum class InvokeKind { Method, PropertyGet, PropertyPut };

class IAutomationObject {
 public:
  virtual ~IAutomationObject() = default;
  // For a property put the last argument is the value.
  virtual AutoValue Invoke(const std::string& member, InvokeKind kind, const std::vector<AutoValue>& args) = 0;
  // Connection point of an interface id ("{...}"); the cookie identifies the connection.
  virtual std::uint32_t Advise(const std::string& iid, const std::shared_ptr<class IEventSink>& sink) = 0;
  virtual void Unadvise(const std::string& iid, std::uint32_t cookie) = 0;
};

// The program's event sink: calls arrive by dispatch id, on the main thread.
using SinkHandler = std::function<void(std::int32_t dispid, const std::vector<AutoValue>& args)>;
class IEventSink {
 public:
  virtual ~IEventSink() = default;
};

class IAutomation {
 public:
  virtual ~IAutomation() = default;
  virtual AutomationObject CreateObject(const std::string& progId) = 0;
  virtual AutomationObject GetActiveObject(const std::string& progId) = 0;
  // An object of the program's event sink class whose calls go to handler.
  virtual std::shared_ptr<IEventSink> CreateEventSink(SinkHandler handler) = 0;
  // At the program's start: registers the sink's class and type library (a failure is
  // ignored) and offers its class factory; false when the command line asked only to
  // register or unregister ("REGSERVER", "UNREGSERVER"), after which the program ends.
  virtual bool StartServer() = 0;
  virtual void StopServer() = 0;  // withdraws the class factory
};

// Late-bound calls in the program's own words.
AutoValue Get(const AutomationObject& object, const std::string& member, const std::vector<AutoValue>& args = {});
void Put(const AutomationObject& object, const std::string& member, const AutoValue& value,
         const std::vector<AutoValue>& args = {});
AutoValue Call(const AutomationObject& object, const std::string& member, const std::vector<AutoValue>& args = {});

}  // namespace platform
