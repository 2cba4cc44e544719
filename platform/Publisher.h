#pragma once

#include "platform/CancellationToken.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

// A stream of values that ends with completion, or with a failure, after
// which nothing more arrives. Subscribers receive the events on the main
// thread, always from the event loop (never inside the send), in order, and
// never after their handle or their context object has gone.
template <typename Output, typename Failure>
class Publisher {
public:
    using ValueHandler = std::function<void(const Output&)>;
    // Empty for a normal finish, the failure otherwise.
    using CompletionHandler = std::function<void(const std::optional<Failure>&)>;
    // Attaches raw handlers (called from whatever thread the source sends on)
    // and returns the handle that detaches them.
    using Attach = std::function<AnyCancellable(ValueHandler, CompletionHandler)>;

    Publisher() = default;
    explicit Publisher(Attach attach)
        : m_attach(std::move(attach))
    {
    }

    bool isValid() const { return static_cast<bool>(m_attach); }

    AnyCancellable sink(QObject* context, ValueHandler onValue, CompletionHandler onCompletion = {}) const
    {
        if (!m_attach)
            return AnyCancellable();
        struct Delivery {
            QPointer<QObject> context;
            bool live = true;
            bool ended = false;
        };
        auto delivery = std::make_shared<Delivery>();
        delivery->context = context;
        auto post = [delivery](std::function<void()> event) {
            QObject* target = delivery->context ? delivery->context.data() : QCoreApplication::instance();
            if (!target)
                return;
            QMetaObject::invokeMethod(
                target,
                [delivery, event = std::move(event)] {
                    if (delivery->live && delivery->context)
                        event();
                },
                Qt::QueuedConnection);
        };
        AnyCancellable detach = m_attach(
            [post, delivery, onValue](const Output& value) {
                post([delivery, onValue, value] {
                    if (!delivery->ended && onValue)
                        onValue(value);
                });
            },
            [post, delivery, onCompletion](const std::optional<Failure>& failure) {
                post([delivery, onCompletion, failure] {
                    if (delivery->ended)
                        return;
                    delivery->ended = true;
                    if (onCompletion)
                        onCompletion(failure);
                });
            });
        auto detachShared = std::make_shared<AnyCancellable>(std::move(detach));
        return AnyCancellable([delivery, detachShared] {
            delivery->live = false;
            detachShared->cancel();
        });
    }

    // Values from the first argument of a Qt signal; finishes when the
    // sender goes.
    template <typename Sender, typename Arg, typename... Rest>
    static Publisher fromSignal(Sender* sender, void (Sender::*signal)(Arg, Rest...))
    {
        QPointer<Sender> guard(sender);
        return Publisher([guard, signal](ValueHandler onValue, CompletionHandler onCompletion) {
            if (!guard) {
                onCompletion(std::nullopt);
                return AnyCancellable();
            }
            auto* relay = new QObject();
            QObject::connect(guard.data(), signal, relay, [onValue](Arg value) { onValue(Output(value)); });
            QObject::connect(guard.data(), &QObject::destroyed, relay,
                             [onCompletion] { onCompletion(std::nullopt); });
            QPointer<QObject> relayGuard(relay);
            return AnyCancellable([relayGuard] { delete relayGuard.data(); });
        });
    }

private:
    Attach m_attach;
};

// A publisher fed by hand: send values, then finish or fail. Values sent
// after the end are dropped. Late subscribers see only what comes after they
// subscribe, and the end if it has already come.
template <typename Output, typename Failure>
class PublisherSubject {
public:
    using P = Publisher<Output, Failure>;

    void send(const Output& value)
    {
        if (m_state->end)
            return;
        for (const auto& s : snapshot())
            s->onValue(value);
    }
    void finish() { complete(std::nullopt); }
    void fail(const Failure& failure) { complete(failure); }
    int subscriberCount() const { return int(m_state->subscribers.size()); }

    P publisher() const
    {
        std::weak_ptr<State> weak = m_state;
        return P([weak](typename P::ValueHandler onValue, typename P::CompletionHandler onCompletion) {
            auto state = weak.lock();
            if (!state) {
                onCompletion(std::nullopt);
                return AnyCancellable();
            }
            if (state->end) {
                onCompletion(*state->end);
                return AnyCancellable();
            }
            auto subscriber = std::make_shared<Subscriber>(Subscriber{std::move(onValue), std::move(onCompletion)});
            state->subscribers.push_back(subscriber);
            std::weak_ptr<Subscriber> weakSubscriber = subscriber;
            return AnyCancellable([weak, weakSubscriber] {
                auto state = weak.lock();
                auto subscriber = weakSubscriber.lock();
                if (!state || !subscriber)
                    return;
                std::erase(state->subscribers, subscriber);
            });
        });
    }

private:
    struct Subscriber {
        typename P::ValueHandler onValue;
        typename P::CompletionHandler onCompletion;
    };
    struct State {
        std::vector<std::shared_ptr<Subscriber>> subscribers;
        std::optional<std::optional<Failure>> end;
    };

    std::vector<std::shared_ptr<Subscriber>> snapshot() const { return m_state->subscribers; }

    void complete(std::optional<Failure> failure)
    {
        if (m_state->end)
            return;
        m_state->end = failure;
        const auto subscribers = snapshot();
        m_state->subscribers.clear();
        for (const auto& s : subscribers)
            s->onCompletion(failure);
    }

    std::shared_ptr<State> m_state = std::make_shared<State>();
};
