#include "platform/keychain/KeychainStore.h"

#include "platform/keychain/KeychainStatus.h"
#include "platform/keychain/SecretServiceStatus.h"

#include <QStringDecoder>
#include <condition_variable>
#include <libsecret/secret.h>
#include <memory>
#include <mutex>
#include <thread>

namespace bw {
namespace {

// Items are matched by their two attributes alone, so that an item stored by another tool
// (for example `secret-tool store service … account …`) is found as well.
const SecretSchema schema = {
    "app.berthwatch.GenericPassword",
    SECRET_SCHEMA_DONT_MATCH_NAME,
    {
        {"service", SECRET_SCHEMA_ATTRIBUTE_STRING},
        {"account", SECRET_SCHEMA_ATTRIBUTE_STRING},
        {nullptr, SECRET_SCHEMA_ATTRIBUTE_STRING},
    },
    0,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
};

struct ErrorFree {
    void operator()(GError* error) const { g_error_free(error); }
};
struct ValueUnref {
    void operator()(SecretValue* value) const { secret_value_unref(value); }
};
struct ObjectUnref {
    void operator()(gpointer object) const { g_object_unref(object); }
};
struct HashTableUnref {
    void operator()(GHashTable* table) const { g_hash_table_unref(table); }
};
struct ListFree {
    void operator()(GList* list) const { g_list_free_full(list, g_object_unref); }
};
using Error = std::unique_ptr<GError, ErrorFree>;
using Service = std::unique_ptr<SecretService, ObjectUnref>;
using Attributes = std::unique_ptr<GHashTable, HashTableUnref>;
using ItemList = std::unique_ptr<GList, ListFree>;
using Value = std::unique_ptr<SecretValue, ValueUnref>;

std::optional<QString> strictUtf8(const char* bytes, gsize length) {
    // Keep a leading byte-order mark as a character: the text comes back exactly as stored.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless |
                                                     QStringDecoder::Flag::ConvertInitialBom);
    QString text = decoder.decode(QByteArrayView(bytes, static_cast<qsizetype>(length)));
    if (decoder.hasError()) {
        return std::nullopt;
    }
    return text;
}

// Cancels `cancellable` once `timeout` has passed, unless the object goes first.
class CancelAfter {
public:
    CancelAfter(GCancellable* cancellable, std::chrono::milliseconds timeout)
        : timer_([cancellable, timeout, this](std::stop_token stop) {
              std::unique_lock lock(mutex_);
              if (!wake_.wait_for(lock, stop, timeout, [] { return false; }) &&
                  !stop.stop_requested()) {
                  g_cancellable_cancel(cancellable);
              }
          }) {}

private:
    std::mutex mutex_;
    std::condition_variable_any wake_;
    std::jthread timer_; // last: stopped and joined before the members it uses go
};

// The two attributes that name the item of (service, account).
Attributes attributesOf(const KeychainStore& store, const QString& account) {
    const QByteArray serviceName = store.service.toUtf8();
    const QByteArray accountName = account.toUtf8();
    return Attributes(secret_attributes_build(&schema, "service", serviceName.constData(),
                                              "account", accountName.constData(), nullptr));
}

// An item found by a search that may unlock stays locked when the prompt was dismissed or could
// not be shown: it exists but stays out of reach, which is not the same as having no item.
void requireUnlocked(SecretItem* item) {
    if (secret_item_get_locked(item)) {
        throw KeychainStoreError(keychain_status::interactionNotAllowed);
    }
}

// The items of (service, account), whatever stored them; nothing when the Secret Service cannot
// be reached or the search fails, with the reason in `error`.
ItemList findItems(const KeychainStore& store, const QString& account, SecretServiceFlags connect,
                   SecretSearchFlags search, GCancellable* cancellable, Error& error) {
    GError* rawError = nullptr;
    const Service secretService(secret_service_get_sync(connect, cancellable, &rawError));
    error.reset(rawError);
    if (!secretService) {
        return nullptr;
    }
    const Attributes attributes = attributesOf(store, account);
    ItemList items(secret_service_search_sync(secretService.get(), &schema, attributes.get(),
                                              search, cancellable, &rawError));
    error.reset(rawError);
    return error ? nullptr : std::move(items);
}

// The data of an item found unlocked, as text; nothing when it is not UTF-8. Throws the
// Keychain's "success without data" when the Secret Service gave no data.
std::optional<QString> itemText(SecretItem* item) {
    const Value value(secret_item_get_secret(item));
    if (!value) {
        throw KeychainStoreError(keychain_status::success);
    }
    gsize length = 0;
    const char* bytes = secret_value_get(value.get(), &length);
    return strictUtf8(bytes, length);
}

void replaceSecret(SecretItem* item, SecretValue* secret) {
    requireUnlocked(item);
    GError* rawError = nullptr;
    const gboolean replaced = secret_item_set_secret_sync(item, secret, nullptr, &rawError);
    const Error error(rawError);
    if (!replaced) {
        throw KeychainStoreError(keychainStatus(error.get()));
    }
}

void addItem(const KeychainStore& store, const QString& account, SecretValue* secret) {
    const QByteArray label = QStringLiteral("%1 (%2)").arg(account, store.service).toUtf8();
    const Attributes attributes = attributesOf(store, account);
    GError* rawError = nullptr;
    const gboolean stored =
        secret_service_store_sync(nullptr, &schema, attributes.get(), SECRET_COLLECTION_DEFAULT,
                                  label.constData(), secret, nullptr, &rawError);
    const Error error(rawError);
    if (!stored) {
        throw KeychainStoreError(keychainStatus(error.get()));
    }
}

} // namespace

void KeychainStore::prepareForOtherThreads() {
    g_type_ensure(G_TYPE_DBUS_CONNECTION);
    g_type_class_unref(g_type_class_ref(SECRET_TYPE_SERVICE));
}

bool KeychainStore::contains(const QString& account, std::chrono::milliseconds timeout) const {
    const std::unique_ptr<GCancellable, ObjectUnref> cancellable(g_cancellable_new());
    const CancelAfter deadline(cancellable.get(), timeout);
    Error error;
    return findItems(*this, account, SECRET_SERVICE_NONE, SECRET_SEARCH_NONE, cancellable.get(),
                     error) != nullptr;
}

bool KeychainStore::holdsText(const QString& account, std::chrono::milliseconds timeout) const {
    const std::unique_ptr<GCancellable, ObjectUnref> cancellable(g_cancellable_new());
    const CancelAfter deadline(cancellable.get(), timeout);
    Error error;
    // Secrets are loaded only from unlocked collections: the search never prompts.
    const ItemList items = findItems(*this, account, SECRET_SERVICE_OPEN_SESSION,
                                     SECRET_SEARCH_LOAD_SECRETS, cancellable.get(), error);
    if (!items) {
        return false;
    }
    auto* item = static_cast<SecretItem*>(items->data);
    if (secret_item_get_locked(item)) {
        return true;
    }
    try {
        return itemText(item).has_value();
    } catch (const KeychainStoreError&) {
        return false;
    }
}

std::optional<QString> KeychainStore::read(const QString& account) const {
    Error error;
    // A locked keyring is unlocked the way the desktop does it, with its own prompt.
    const ItemList items =
        findItems(*this, account, SECRET_SERVICE_OPEN_SESSION,
                  static_cast<SecretSearchFlags>(SECRET_SEARCH_UNLOCK | SECRET_SEARCH_LOAD_SECRETS),
                  nullptr, error);
    if (error) {
        throw KeychainStoreError(keychainStatus(error.get()));
    }
    if (!items) {
        return std::nullopt;
    }
    auto* item = static_cast<SecretItem*>(items->data);
    requireUnlocked(item);
    return itemText(item);
}

void KeychainStore::save(const QString& value, const QString& account) const {
    const QByteArray data = value.toUtf8();
    const Value secret(secret_value_new(data.constData(), data.size(), "text/plain"));
    Error error;
    // Every item of the service and account takes the new data, whatever stored it and whatever
    // other attributes it carries, so that a later read finds it.
    const ItemList items = findItems(
        *this, account, SECRET_SERVICE_OPEN_SESSION,
        static_cast<SecretSearchFlags>(SECRET_SEARCH_ALL | SECRET_SEARCH_UNLOCK), nullptr, error);
    if (error) {
        throw KeychainStoreError(keychainStatus(error.get()));
    }
    if (items) {
        for (GList* entry = items.get(); entry != nullptr; entry = entry->next) {
            replaceSecret(static_cast<SecretItem*>(entry->data), secret.get());
        }
        return;
    }
    addItem(*this, account, secret.get());
}

} // namespace bw
