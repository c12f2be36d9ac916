-- Run by neovim_test.sh: headless Neovim opens a train text with a fault, and the test reads
-- back what its client received from the server. Any mismatch ends Neovim with status 1.
local server, train = os.getenv('SB_SERVER'), os.getenv('SB_TRAIN')
package.path = os.getenv('SB_NEOVIM_DIR') .. '/?.lua;' .. package.path
require('scenario-builder').setup({ cmd = { server, 'lsp' } })

local failures = {}
local function check(what, ok, got)
  if not ok then table.insert(failures, what .. ': got ' .. vim.inspect(got)) end
  io.stdout:write((ok and 'ok   ' or 'FAIL ') .. what .. '\n')
end

vim.cmd('edit ' .. vim.fn.fnameescape(train))
local buf = vim.api.nvim_get_current_buf()
local got = vim.wait(10000, function() return #vim.diagnostic.get(buf) > 0 end, 50)
check('diagnostics arrive', got, nil)
local d = vim.diagnostic.get(buf)[1] or {}
local code = d.code or (d.user_data and d.user_data.lsp and d.user_data.lsp.code)
check('fault 16 on line 3, column 13', d.lnum == 2 and d.col == 12 and code == 16,
      { lnum = d.lnum, col = d.col, code = code, message = d.message })

local function request(method, line, character)
  local params = { textDocument = vim.lsp.util.make_text_document_params(),
                   position = { line = line, character = character } }
  local results = vim.lsp.buf_request_sync(buf, method, params, 5000) or {}
  for _, r in pairs(results) do return r.result end
end

local hover = request('textDocument/hover', 1, 13) or {}
local text = hover.contents and hover.contents.value or ''
check('hover on the position of the signal', text:find('8000 m: cell 161', 1, true) ~= nil, text)

local completion = request('textDocument/completion', 4, 0) or {}
local labels = {}
for _, item in ipairs(completion.items or completion) do labels[item.label] = true end
check('completion offers the train keys', labels['segnale'] and labels['stazione'] and labels['[segnali]'],
      vim.tbl_keys(labels))

if #failures > 0 then
  io.stdout:write(table.concat(failures, '\n') .. '\n')
  vim.cmd('cquit 1')
end
vim.cmd('qall!')
