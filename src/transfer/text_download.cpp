#include "transfer/text_download.h"

#include "transfer/transfer_recipe.h"

size_t WriteToText(char* data, size_t size, size_t count, void* target)
{
    TextTarget& text = *static_cast<TextTarget*>(target);
    if (text.text.size() + size * count > text.limit)
        return 0;
    text.text.append(data, size * count);
    return size * count;
}

int DownloadText(const std::string& url, size_t limit, std::string& text, const StopRequest& stop)
{
    text.clear();
    TextTarget target = {text, limit};
    return TransferOnce(url, WriteToText, &target, stop);
}
