-- Neovim (0.7 or later): the language server of scenario-builder for route texts
-- (*_linea.txt) and train texts (*-.txt). Load it from init.lua:
--
--   package.path = '/path/to/scenario-builder/editors/neovim/?.lua;' .. package.path
--   require('scenario-builder').setup({ cmd = { 'scenario-builder', 'lsp' } })
--
-- One server serves every text; diagnostics, hover (K), completion (<C-x><C-o>), signature
-- help, the outline and quick fixes come through Neovim's own client.
local M = {}

local client_id = nil

local function attach(buf, opts)
  if client_id == nil or vim.lsp.get_client_by_id(client_id) == nil then
    client_id = vim.lsp.start_client({
      name = 'scenario-builder',
      cmd = opts.cmd,
      root_dir = vim.fn.fnamemodify(vim.api.nvim_buf_get_name(buf), ':p:h'),
    })
  end
  if client_id then
    vim.lsp.buf_attach_client(buf, client_id)
  end
end

function M.setup(opts)
  opts = opts or {}
  opts.cmd = opts.cmd or { 'scenario-builder', 'lsp' }
  local patterns = { '*_linea.txt', '*-.txt' }
  local group = vim.api.nvim_create_augroup('scenario-builder', { clear = true })
  -- The texts are Windows-1252 with CR LF line ends: read them so, unless they are UTF-8.
  vim.api.nvim_create_autocmd('BufReadPre', {
    group = group,
    pattern = patterns,
    callback = function()
      vim.o.fileencodings = 'ucs-bom,utf-8,cp1252'
    end,
  })
  vim.api.nvim_create_autocmd({ 'BufReadPost', 'BufNewFile' }, {
    group = group,
    pattern = patterns,
    callback = function(args)
      vim.bo[args.buf].filetype = 'scenario'
      vim.bo[args.buf].omnifunc = 'v:lua.vim.lsp.omnifunc'
      attach(args.buf, opts)
    end,
  })
end

return M
